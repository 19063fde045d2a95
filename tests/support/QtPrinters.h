#pragma once

#include <QString>
#include <QStringList>
#include <ostream>

// Readable Qt strings in the messages of failed checks.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// Qt strings after a check's <<.
inline std::ostream& operator<<(std::ostream& out, const QString& text)
{
    return out << text.toStdString();
}

inline void PrintTo(const QStringList& list, std::ostream* out)
{
    *out << '{' << list.join(QStringLiteral("\", \"")).prepend('"').append('"').toStdString()
         << '}';
}
