#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace brindle {

// The hive's text, line by line, so that a write changes its own line and
// keeps every other line as written. The layout is described in
// docs/registry.md.
class IniFile
{
public:
    static IniFile parse(const QByteArray& text);

    // The first value of that name under that key; key paths and value
    // names are compared case-blind, as the registry does.
    std::optional<QString> value(const QString& keyPath, const QString& valueName) const;
    // Changes the value in place, or adds it to its key, or adds the key.
    // False for a key path without a name in it.
    bool setValue(const QString& keyPath, const QString& valueName, const QString& data);

    // Lines that cannot be read: broken lines, and values under a broken
    // key line or under none. They are ignored, and left out of text().
    qsizetype damagedLines() const;
    // The number of the first of them, from 1; 0 when there is none.
    qsizetype firstDamagedLine() const;

    QByteArray text() const;

private:
    struct Line
    {
        enum class Kind
        {
            Other, // blank or comment
            Key,
            Value,
            DamagedKey, // a key line that cannot be read: its values are lost too
            Damaged
        };
        Kind kind = Kind::Other;
        QByteArray raw;
        QString keyPath;    // Key and Value: the key path, parts joined by '\'
        QByteArray rawName; // Value: the name as written
        QString name;       // Value: the name; empty for the default value
        QString data;       // Value: the data
    };

    static Line parseLine(const QByteArray& raw, const Line* key);
    qsizetype findValue(const QString& keyPath, const QString& valueName) const;
    qsizetype insertionPoint(const QString& keyPath) const;

    QList<Line> m_lines;
};

} // namespace brindle
