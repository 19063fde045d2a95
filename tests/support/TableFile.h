#pragma once

#include "QtPrinters.h"

#include <QDate>
#include <QFile>
#include <QStringList>
#include <QVariant>
#include <gtest/gtest.h>

namespace brindle::test {

// A field of a table file: \r \n \t \\ \xHH and \uHHHH escapes; "-" alone is empty.
inline QString tableField(const QString& text)
{
    if (text == u"-") {
        return {};
    }
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
        if (text[i] != u'\\' || i + 1 == text.size()) {
            out += text[i];
        } else if (next == u'x' || next == u'u') {
            const int digits = next == u'x' ? 2 : 4;
            out += QChar(text.mid(i + 2, digits).toUShort(nullptr, 16));
            i += 1 + digits;
        } else {
            out += next == u'r' ? u'\r' : next == u'n' ? u'\n' : next == u't' ? u'\t' : next;
            ++i;
        }
    }
    return out;
}

// The rows of a table file of the test folder's data/: a row a line, its
// fields apart by " | "; blank lines and "#" lines are left out.
inline QList<QStringList> tableRows(const QString& name)
{
    QFile file(QStringLiteral(BRINDLE_TEST_DATA "/") + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    QList<QStringList> rows;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (!line.trimmed().isEmpty() && !line.startsWith(u'#')) {
            QStringList row;
            for (const QString& field : line.split(QStringLiteral(" | "))) {
                row << tableField(field);
            }
            rows << row;
        }
    }
    EXPECT_FALSE(rows.isEmpty()) << name.toStdString();
    return rows;
}

// The rows of a table file whose first field is kind, without it.
inline QList<QStringList> tableRows(const QString& name, const QString& kind)
{
    QList<QStringList> rows;
    for (const QStringList& row : tableRows(name)) {
        if (row[0] == kind) {
            rows << row.mid(1);
        }
    }
    return rows;
}

// A parameterised test's name: its row's first field.
inline std::string rowName(const ::testing::TestParamInfo<QStringList>& info)
{
    return info.param[0].toStdString();
}

// A field of "name=value" pairs apart by "; "; a value that is an ISO date is a date.
inline QList<std::pair<QString, QVariant>> tablePairs(const QString& field)
{
    QList<std::pair<QString, QVariant>> pairs;
    for (const QString& pair : field.split(QStringLiteral("; "), Qt::SkipEmptyParts)) {
        const QString value = pair.section(u'=', 1);
        const QDate date = QDate::fromString(value, Qt::ISODate);
        pairs.append({pair.section(u'=', 0, 0), date.isValid() ? QVariant(date) : QVariant(value)});
    }
    return pairs;
}

} // namespace brindle::test
