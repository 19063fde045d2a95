#include "FileIo.h"
#include "NameKey.h"
#include "VCard.h"
#include "VCardLegacy.h"

#include <QHash>
#include <QStringDecoder>
#include <QVarLengthArray>

namespace contacts {

namespace {

using Parts = QVarLengthArray<QStringView, 8>;

bool isValidName(QStringView name)
{
    return !name.isEmpty() && std::all_of(name.begin(), name.end(), isNameChar);
}

// The position of the first character below a blank other than a tab or a
// line feed, from a position on, or the size.
qsizetype firstControl(QStringView text, qsizetype from)
{
    qsizetype i = firstBelowBlank(text, from);
    while (i < text.size() && (text[i] == u'\t' || text[i] == u'\n')) {
        i = firstBelowBlank(text, i + 1);
    }
    return i;
}

bool hasForbiddenControl(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r';
    });
}

// Whether an ASCII name equals a word in upper case, without making a copy.
bool isWord(QStringView name, QLatin1StringView upper)
{
    if (name.size() != upper.size()) {
        return false;
    }
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        if ((c >= u'a' && c <= u'z' ? c - 32 : c) != char16_t(upper[i].unicode())) {
            return false;
        }
    }
    return true;
}

// Names in upper case, made once per line. The usual ones are shared rather
// than made anew, and a name already in upper case is only copied.
QString upperName(QStringView name)
{
    static const QStringList names =
        QStringLiteral(
            "ADR ANNIVERSARY BDAY CATEGORIES CHARSET EMAIL ENCODING FN N NOTE ORG PREF RELATED TEL "
            "TYPE UID URL VALUE X-BRINDLE-CUSTOMER-ID X-BRINDLE-FILE-AS X-BRINDLE-USER1 "
            "X-BRINDLE-USER2 X-BRINDLE-USER3 X-BRINDLE-USER4")
            .split(u' ');
    static const QHash<NameKey, QString> known = [] {
        QHash<NameKey, QString> hash;
        for (const QString& shared : names) {
            hash.insert(NameKey{shared}, shared);
        }
        return hash;
    }();
    // Names are mostly written in upper case already: one lookup finds them.
    if (const auto it = known.constFind(NameKey{name}); it != known.cend()) {
        return *it;
    }
    const bool upper =
        std::none_of(name.begin(), name.end(), [](QChar c) { return c >= u'a' && c <= u'z'; });
    if (upper) {
        return name.toString();
    }
    const QString converted = name.toString().toUpper();
    return known.value(NameKey{converted}, converted);
}

// RFC 6868, which only vCard 4.0 knows.
QString unescapeParamValue(QStringView value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'^' && i + 1 < value.size()) {
            const QChar next = value[i + 1];
            if (next == u'n' || next == u'N') {
                out += u'\n';
                ++i;
                continue;
            }
            if (next == u'^' || next == u'\'') {
                out += next == u'\'' ? u'"' : u'^';
                ++i;
                continue;
            }
        }
        out += value[i];
    }
    return out;
}

// Index of the colon that ends the name and parameters, or -1.
qsizetype valueStart(QStringView line)
{
    // Most lines have no quoted parameter before their first colon.
    const qsizetype colon = indexOfChar(line, u':');
    if (colon < 0 || !holdsChar(line.first(colon), u'"')) {
        return colon;
    }
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'"') {
            quoted = !quoted;
        } else if (line[i] == u':' && !quoted) {
            return i;
        }
    }
    return -1;
}

// Splits at a separator outside double quotes.
Parts splitOutsideQuotes(QStringView text, QChar separator)
{
    Parts parts;
    if (!holdsChar(text, u'"')) {
        const char16_t c = separator.unicode();
        for (qsizetype at = indexOfChar(text, c); at >= 0; at = indexOfChar(text, c)) {
            parts.append(text.first(at));
            text = text.sliced(at + 1);
        }
        parts.append(text);
        return parts;
    }
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'"') {
            quoted = !quoted;
        } else if (text[i] == separator && !quoted) {
            parts.append(text.sliced(start, i - start));
            start = i + 1;
        }
    }
    parts.append(text.sliced(start));
    return parts;
}

// The one test of whether a value is quoted-printable: unfolding joins soft
// line breaks by it and the reader decodes by it, so the two always agree.
bool isQuotedPrintable(const QList<VCardParam>& params)
{
    return std::any_of(params.begin(), params.end(), [](const VCardParam& p) {
        return p.name == u"ENCODING" &&
               std::any_of(p.values.begin(), p.values.end(), [](const QString& value) {
                   return isWord(value, QLatin1StringView("QUOTED-PRINTABLE"));
               });
    });
}

class Reader
{
public:
    explicit Reader(QString& error) : m_error(error) {}

    std::optional<VCard> read(const QByteArray& bytes);

private:
    std::optional<QString> decodeText(const QByteArray& bytes);
    std::optional<QStringList> unfold(const QString& text);
    bool endsInSoftBreak(const QString& line) const;
    QString findVersion(const QStringList& lines) const;
    std::optional<VCardProperty> parseLine(const QString& line);
    // Why the name and parameters cannot be read, or empty.
    QString parseHead(QStringView head, VCardProperty& property, const QString& line) const;
    std::optional<VCardParam> parseParam(QStringView text) const;
    bool decodeValue(VCardProperty& property);
    void to30(VCardProperty& property, bool decoded) const;
    bool fail(const QString& error)
    {
        m_error = error;
        return false;
    }

    QString& m_error;
    bool m_v21 = false;
    bool m_v40 = true;
};

std::optional<QString> Reader::decodeText(const QByteArray& bytes)
{
    if (bytes.size() > MaxContactFileBytes) {
        m_error = QStringLiteral("the file is larger than %1 bytes").arg(MaxContactFileBytes);
        return std::nullopt;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError()) {
        m_error = QStringLiteral("the file is not valid UTF-8");
        return std::nullopt;
    }
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    // Control characters refuse the file, and only a file with line breaks
    // of a lone CR has them rewritten; unfolding drops a CR before LF.
    bool loneReturn = false;
    for (qsizetype i = firstControl(text, 0); i < text.size(); i = firstControl(text, i + 1)) {
        const char16_t c = text[i].unicode();
        if (c != u'\r') {
            m_error = QStringLiteral("the file holds control characters");
            return std::nullopt;
        }
        loneReturn = loneReturn || i + 1 == text.size() || text[i + 1] != u'\n';
    }
    if (loneReturn) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    }
    return text;
}

// Joins folded lines and quoted-printable soft line breaks.
std::optional<QStringList> Reader::unfold(const QString& text)
{
    QStringList lines;
    lines.reserve(text.size() / 32);
    bool softBreak = false;
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = text.indexOf(u'\n', start);
        end = end < 0 ? text.size() : end;
        QStringView physical = QStringView(text).sliced(start, end - start);
        start = end + 1;
        if (physical.endsWith(u'\r')) {
            physical.chop(1);
        }
        if (softBreak) {
            lines.last() += physical;
        } else if (physical.startsWith(u' ') || physical.startsWith(u'\t')) {
            if (lines.isEmpty()) {
                m_error = QStringLiteral("a folded line continues nothing");
                return std::nullopt;
            }
            lines.last() += physical.mid(1);
        } else if (!physical.trimmed().isEmpty()) {
            lines += physical.toString();
        }
        softBreak = !lines.isEmpty() && endsInSoftBreak(lines.last());
        if (softBreak) {
            lines.last().chop(1);
        }
    }
    return lines;
}

bool Reader::endsInSoftBreak(const QString& line) const
{
    if (!line.endsWith(u'=')) {
        return false;
    }
    const qsizetype colon = valueStart(line);
    VCardProperty property;
    return colon > 0 && parseHead(QStringView(line).first(colon), property, line).isEmpty() &&
           isQuotedPrintable(property.params);
}

QString Reader::findVersion(const QStringList& lines) const
{
    for (const QString& line : lines) {
        const qsizetype colon = line.indexOf(u':');
        if (colon > 0 &&
            isWord(QStringView(line).first(colon).trimmed(), QLatin1StringView("VERSION"))) {
            return line.sliced(colon + 1).trimmed();
        }
    }
    return {};
}

std::optional<VCardParam> Reader::parseParam(QStringView text) const
{
    const qsizetype eq = indexOfChar(text, u'=');
    const QStringView name = (eq < 0 ? text : text.first(eq)).trimmed();
    if (!isValidName(name)) {
        return std::nullopt;
    }
    if (eq < 0) {
        static const char* const encodings[] = {"QUOTED-PRINTABLE", "BASE64", "8BIT", "7BIT"};
        const bool encoding =
            std::any_of(std::begin(encodings), std::end(encodings),
                        [&](const char* word) { return isWord(name, QLatin1StringView(word)); });
        return VCardParam{encoding ? QStringLiteral("ENCODING") : QStringLiteral("TYPE"),
                          {name.toString()}};
    }
    VCardParam param{upperName(name), {}};
    const QStringView values = text.sliced(eq + 1);
    if (!holdsChar(values, u',') && !holdsChar(values, u'"') && !holdsChar(values, u'^')) {
        param.values += values.toString();
        return param;
    }
    for (QStringView value : splitOutsideQuotes(values, u',')) {
        if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"')) {
            value = value.sliced(1, value.size() - 2);
        }
        param.values += m_v40 ? unescapeParamValue(value) : value.toString();
    }
    return param;
}

QString Reader::parseHead(QStringView head, VCardProperty& property, const QString& line) const
{
    const Parts parts = splitOutsideQuotes(head, u';');
    QStringView name = parts[0].trimmed();
    const qsizetype dot = name.lastIndexOf(u'.');
    const QStringView group = dot >= 0 ? name.first(dot) : QStringView();
    name = name.sliced(dot + 1);
    if (!isValidName(name) || (dot >= 0 && !isValidName(group))) {
        return QStringLiteral("a property name is not valid: %1").arg(line.left(40));
    }
    property.group = group.toString();
    property.name = upperName(name);
    if (parts.size() > 1) {
        property.params.reserve(parts.size() - 1);
    }
    for (qsizetype i = 1; i < parts.size(); ++i) {
        if (parts[i].trimmed().isEmpty()) {
            continue; // "TEL;;TYPE=work" has an empty parameter with nothing to keep
        }
        std::optional<VCardParam> param = parseParam(parts[i]);
        if (!param) {
            return QStringLiteral("a parameter name is not valid: %1").arg(line.left(40));
        }
        property.params += std::move(*param);
    }
    return {};
}

std::optional<VCardProperty> Reader::parseLine(const QString& line)
{
    const qsizetype colon = valueStart(line);
    if (colon < 0) {
        fail(QStringLiteral("a line has no value: %1").arg(line.left(40)));
        return std::nullopt;
    }
    VCardProperty property;
    const QString error = parseHead(QStringView(line).first(colon), property, line);
    if (!error.isEmpty()) {
        fail(error);
        return std::nullopt;
    }
    property.value = line.sliced(colon + 1);
    const bool quotedPrintable = isQuotedPrintable(property.params);
    if (quotedPrintable && !decodeValue(property)) {
        return std::nullopt;
    }
    if (m_v21) {
        to30(property, quotedPrintable);
    } else if (!quotedPrintable) {
        property.raw = line;
    }
    return property;
}

// Quoted-printable has no place in 3.0 or 4.0: the value is kept decoded and
// written back so, escaped as the version escapes text.
bool Reader::decodeValue(VCardProperty& property)
{
    QString text = decodeCharset(decodeQuotedPrintable(property.value),
                                 property.param(QStringLiteral("CHARSET")));
    if (hasForbiddenControl(text)) {
        return fail(QStringLiteral("a quoted-printable value holds control characters"));
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    if (m_v21 && isText21(property.name)) {
        text = escaped21(property.name, text);
    }
    property.value = text.replace(u'\n', QStringLiteral("\\n"));
    property.removeParam(QStringLiteral("ENCODING"));
    property.removeParam(QStringLiteral("CHARSET"));
    return true;
}

// A 2.1 property in 3.0 form: bare parameters named, base64 as "b", no
// character sets or transfer encodings, text escaped.
void Reader::to30(VCardProperty& property, bool decoded) const
{
    for (VCardParam& param : property.params) {
        const QString value = param.values.value(0);
        if (param.name == u"ENCODING" &&
            (isWord(value, QLatin1StringView("BASE64")) || isWord(value, QLatin1StringView("B")))) {
            param.values = QStringList{QStringLiteral("b")};
        }
    }
    property.params.removeIf([](const VCardParam& p) {
        return p.name == u"CHARSET" || (p.name == u"ENCODING" && p.values.value(0) != u"b");
    });
    if (decoded || !isText21(property.name)) {
        return; // quoted-printable values are escaped as they are decoded
    }
    property.value = escaped21(property.name, property.value);
}

bool isLine(const VCardProperty& property, const char* name, const char* value)
{
    return property.name == QLatin1String(name) && property.group.isEmpty() &&
           property.value.trimmed().compare(QLatin1String(value), Qt::CaseInsensitive) == 0;
}

std::optional<VCard> Reader::read(const QByteArray& bytes)
{
    const std::optional<QString> text = decodeText(bytes);
    if (!text) {
        return std::nullopt;
    }
    const std::optional<QStringList> lines = unfold(*text);
    if (!lines) {
        return std::nullopt;
    }
    const QString version = findVersion(*lines);
    m_v21 = version == u"2.1";
    m_v40 = !m_v21 && version != u"3.0";
    VCard card;
    card.properties.reserve(lines->size());
    card.version = m_v40 ? QStringLiteral("4.0") : QStringLiteral("3.0");
    bool begun = false;
    bool ended = false;
    for (const QString& line : *lines) {
        std::optional<VCardProperty> property = parseLine(line);
        if (!property) {
            return std::nullopt;
        }
        if (ended) {
            fail(QStringLiteral("the file holds more than one vCard"));
            return std::nullopt;
        }
        if (isLine(*property, "BEGIN", "VCARD")) {
            if (begun) {
                fail(QStringLiteral("a vCard begins inside another"));
                return std::nullopt;
            }
            begun = true;
        } else if (!begun) {
            fail(QStringLiteral("the file does not begin with BEGIN:VCARD"));
            return std::nullopt;
        } else if (isLine(*property, "END", "VCARD")) {
            ended = true;
        } else if (property->name != u"VERSION") {
            card.properties += std::move(*property);
        }
    }
    if (!ended) {
        fail(QStringLiteral("the vCard has no END:VCARD"));
        return std::nullopt;
    }
    return card;
}

} // namespace

VCard::ParseResult VCard::parse(const QByteArray& bytes)
{
    ParseResult result;
    result.card = Reader(result.error).read(bytes);
    return result;
}

} // namespace contacts
