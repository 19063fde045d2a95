#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace contacts {

// Where a character first stands from a position on, or -1. QStringView's
// own search takes the character for a string of one, at several times the
// cost, and values are searched for separators many times per card.
inline qsizetype indexOfChar(QStringView text, char16_t c, qsizetype from = 0)
{
    if (from >= text.size()) {
        return -1;
    }
    const char16_t* found = QtPrivate::qustrchr(text.sliced(from), c);
    return found == text.utf16() + text.size() ? -1 : found - text.utf16();
}
inline bool holdsChar(QStringView text, char16_t c)
{
    return indexOfChar(text, c) >= 0;
}

struct VCardParam
{
    QString name; // upper case; a bare vCard 2.1 parameter is read as TYPE or ENCODING
    QStringList values;
};

// One content line. While `raw` is set the line is written back exactly as it
// was read, so properties the store does not understand survive a save.
struct VCardProperty
{
    QString group;
    QString name; // upper case
    QList<VCardParam> params;
    QString value; // escaped as in the file; quoted-printable already decoded
    QString raw;   // the unfolded line as read; empty once the property changed

    QString param(const QString& name) const;
    bool hasParam(const QString& name) const;
    void removeParam(const QString& name);
    void setParam(const QString& name, const QStringList& values);
    // TYPE values in lower case, from every TYPE parameter and both list forms.
    QStringList types() const;
    bool hasType(QLatin1StringView type) const;
    // Calls visit with each TYPE value, without copying any.
    template <typename Visit> void forEachType(Visit visit) const
    {
        for (const VCardParam& p : params) {
            if (p.name != u"TYPE") {
                continue;
            }
            for (const QString& value : p.values) {
                QStringView rest(value);
                while (true) {
                    const qsizetype comma = indexOfChar(rest, u',');
                    const QStringView part = comma < 0 ? rest : rest.first(comma);
                    if (!part.isEmpty()) {
                        visit(part.trimmed());
                    }
                    if (comma < 0) {
                        break;
                    }
                    rest = rest.sliced(comma + 1);
                }
            }
        }
    }
};

} // namespace contacts

// Made of Qt containers only, so lists of them can grow by moving bytes.
Q_DECLARE_TYPEINFO(contacts::VCardParam, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(contacts::VCardProperty, Q_RELOCATABLE_TYPE);

namespace contacts {

struct VCardParseResult;

class VCard
{
public:
    using ParseResult = VCardParseResult;

    // Accepts vCard 2.1, 3.0 and 4.0: CRLF or LF, folded lines, quoted-printable.
    // A 2.1 card is read as 3.0, every property in 3.0 form, as 2.1 cannot
    // hold what the store writes without quoted-printable.
    static ParseResult parse(const QByteArray& bytes);

    // In the card's version, UTF-8, CRLF, folded at 75 octets. Never writes a
    // control character, so that whatever the properties hold, the file reads
    // back as as many properties.
    QByteArray serialize() const;

    bool is30() const { return version == u"3.0"; }

    QString version = QStringLiteral("4.0"); // "3.0" or "4.0"
    QList<VCardProperty> properties;         // without BEGIN, VERSION and END
};

struct VCardParseResult
{
    std::optional<VCard> card;
    QString error; // why the bytes are not one vCard
};

// The characters of property, group and parameter names.
inline bool isNameChar(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
           c == u'-' || c == u'_';
}

// The position of the first character below a blank (U+0020) from a
// position on, or the size of the text.
qsizetype firstBelowBlank(QStringView text, qsizetype from = 0);

// Text value escaping of RFC 6350.
QString escapeText(const QString& text);
QString unescapeText(QStringView value);
// The same, sharing the text when it holds no escapes.
QString unescapeText(const QString& value);
// Splits at separators that are not escaped; the parts stay escaped.
QStringList splitEscaped(QStringView value, QChar separator);

} // namespace contacts
