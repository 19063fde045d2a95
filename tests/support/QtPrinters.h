#pragma once

#include <QString>
#include <QStringList>
#include <ostream>

// Readable Qt strings in the messages of failed checks.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* out)
{
    *out << '{' << list.join(QStringLiteral("\", \"")).prepend('"').append('"').toStdString()
         << '}';
}
