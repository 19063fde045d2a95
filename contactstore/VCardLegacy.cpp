#include "VCardLegacy.h"

namespace contacts {

namespace {

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}

bool isStructured21(const QString& name)
{
    return name == u"N" || name == u"ADR" || name == u"ORG";
}

} // namespace

QByteArray decodeQuotedPrintable(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        // Only "=" and two hex digits is an escape; the number parser would take "=b ".
        if (text[i] == u'=' && i + 2 < text.size() && isHexDigit(text[i + 1]) &&
            isHexDigit(text[i + 2])) {
            out += char(text.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
            continue;
        }
        if (text[i].unicode() < 0x80) {
            out += char(text[i].unicode());
        } else {
            // A character outside the first plane is two QChars and one UTF-8 sequence.
            const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            out += text.sliced(i, length).toUtf8();
            i += length - 1;
        }
    }
    return out;
}

QString decodeCharset(const QByteArray& bytes, const QString& charset)
{
    if (charset.isEmpty() || charset.compare(u"UTF-8", Qt::CaseInsensitive) == 0) {
        return QString::fromUtf8(bytes);
    }
    return QString::fromLatin1(bytes);
}

bool isText21(const QString& name)
{
    static const QStringList names = {"FN", "NOTE", "TITLE", "ROLE", "LABEL", "NICKNAME"};
    return isStructured21(name) || names.contains(name) || name.startsWith(u"X-");
}

// A 2.1 text value escaped as 3.0 reads it.
QString escaped21(const QString& name, QStringView value)
{
    const bool structured = isStructured21(name);
    QString out;
    out.reserve(value.size() + 8);
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\\' && structured && i + 1 < value.size() && value[i + 1] == u';') {
            out += QStringLiteral("\\;");
            ++i;
        } else if (c == u'\\' || c == u',' || (c == u';' && !structured)) {
            out += u'\\';
            out += c;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace contacts
