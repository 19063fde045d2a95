#include "VCard.h"

#include <QHash>
#include <QStringDecoder>
#include <QVarLengthArray>
#include <cstring>

namespace contacts {

namespace {

// Larger files are not address cards; refusing them keeps memory bounded.
constexpr qsizetype MaxCardBytes = 16 * 1024 * 1024;
constexpr qsizetype FoldOctets = 75;

bool isNameChar(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
           c == u'-' || c == u'_';
}

bool isValidName(QStringView name)
{
    return !name.isEmpty() && std::all_of(name.begin(), name.end(), isNameChar);
}

bool hasForbiddenControl(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r';
    });
}

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

// Splits a parameter's values at commas outside double quotes.
QStringList splitParamValues(QStringView text)
{
    if (!text.contains(u'"') && !text.contains(u'^')) {
        QStringList values;
        for (qsizetype comma = text.indexOf(u','); comma >= 0; comma = text.indexOf(u',')) {
            values += text.first(comma).toString();
            text = text.sliced(comma + 1);
        }
        values += text.toString();
        return values;
    }
    QStringList values;
    QString current;
    bool quoted = false;
    for (QChar c : text) {
        if (c == u'"') {
            quoted = !quoted;
        } else if (c == u',' && !quoted) {
            values += unescapeParamValue(current);
            current.clear();
        } else {
            current += c;
        }
    }
    values += unescapeParamValue(current);
    return values;
}

bool isEncodingWord(const QString& word)
{
    static const QStringList words = {QStringLiteral("QUOTED-PRINTABLE"), QStringLiteral("BASE64"),
                                      QStringLiteral("8BIT"), QStringLiteral("7BIT"),
                                      QStringLiteral("B")};
    return words.contains(word, Qt::CaseInsensitive);
}

// Names in upper case. The usual ones are shared rather than made for every line.
QString upperName(QStringView name)
{
    static const QStringList names =
        QStringLiteral("ADR ANNIVERSARY BDAY BEGIN CATEGORIES CHARSET EMAIL ENCODING END FN KIND N "
                       "NICKNAME NOTE ORG PHOTO PREF PRODID RELATED REV ROLE TEL TITLE TYPE UID "
                       "URL VALUE VERSION X-BRINDLE-CUSTOMER-ID X-BRINDLE-FILE-AS X-BRINDLE-USER1 "
                       "X-BRINDLE-USER2 X-BRINDLE-USER3 X-BRINDLE-USER4")
            .split(u' ');
    static const QHash<QStringView, QString> known = [] {
        QHash<QStringView, QString> hash;
        for (const QString& name : names) {
            hash.insert(name, name);
        }
        return hash;
    }();
    const auto it = known.constFind(name);
    return it != known.cend() ? *it : name.toString().toUpper();
}

// Null for a parameter whose name could not be written back as read.
std::optional<VCardParam> parseParam(QStringView text)
{
    const qsizetype eq = text.indexOf(u'=');
    const QStringView name = (eq < 0 ? text : text.first(eq)).trimmed();
    if (!isValidName(name)) {
        return std::nullopt;
    }
    if (eq < 0) {
        const QString word = name.toString();
        const bool encoding = isEncodingWord(word) && word.compare(u"B", Qt::CaseInsensitive);
        return VCardParam{encoding ? QStringLiteral("ENCODING") : QStringLiteral("TYPE"), {word}};
    }
    return VCardParam{upperName(name), splitParamValues(text.sliced(eq + 1))};
}

// Index of the colon that ends the name and parameters, or -1.
qsizetype valueStart(QStringView line)
{
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

using Parts = QVarLengthArray<QStringView, 8>;

// Splits at semicolons outside double quotes.
Parts splitParams(QStringView head)
{
    Parts parts;
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < head.size(); ++i) {
        if (head[i] == u'"') {
            quoted = !quoted;
        } else if (head[i] == u';' && !quoted) {
            parts.append(head.sliced(start, i - start));
            start = i + 1;
        }
    }
    parts.append(head.sliced(start));
    return parts;
}

QByteArray decodeQuotedPrintable(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'=' && i + 2 < text.size()) {
            bool ok = false;
            const int byte = text.mid(i + 1, 2).toInt(&ok, 16);
            if (ok) {
                out += char(byte);
                i += 2;
                continue;
            }
        }
        if (text[i].unicode() < 0x80) {
            out += char(text[i].unicode());
        } else {
            out += QString(text[i]).toUtf8();
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

std::optional<VCardProperty> parseLine(const QString& line, QString& error)
{
    const qsizetype colon = valueStart(line);
    if (colon < 0) {
        error = QStringLiteral("a line has no value: %1").arg(line.left(40));
        return std::nullopt;
    }
    const Parts head = splitParams(QStringView(line).first(colon));
    VCardProperty property;
    QStringView name = head[0].trimmed();
    const qsizetype dot = name.lastIndexOf(u'.');
    const QStringView group = dot >= 0 ? name.first(dot) : QStringView();
    name = name.sliced(dot + 1);
    if (!isValidName(name) || (dot >= 0 && !isValidName(group))) {
        error = QStringLiteral("a property name is not valid: %1").arg(line.left(40));
        return std::nullopt;
    }
    property.group = group.toString();
    property.name = upperName(name);
    property.params.reserve(head.size() - 1);
    for (qsizetype i = 1; i < head.size(); ++i) {
        if (head[i].trimmed().isEmpty()) {
            continue; // "TEL;;TYPE=work" has an empty parameter with nothing to keep
        }
        std::optional<VCardParam> param = parseParam(head[i]);
        if (!param) {
            error = QStringLiteral("a parameter name is not valid: %1").arg(line.left(40));
            return std::nullopt;
        }
        property.params += std::move(*param);
    }
    property.value = line.sliced(colon + 1);
    if (property.param(QStringLiteral("ENCODING"))
            .compare(u"QUOTED-PRINTABLE", Qt::CaseInsensitive) == 0) {
        property.value = decodeCharset(decodeQuotedPrintable(property.value),
                                       property.param(QStringLiteral("CHARSET")))
                             .replace(QStringLiteral("\r\n"), QStringLiteral("\\n"))
                             .replace(u'\r', QStringLiteral("\\n"))
                             .replace(u'\n', QStringLiteral("\\n"));
        if (hasForbiddenControl(property.value)) {
            error = QStringLiteral("a quoted-printable value holds control characters");
            return std::nullopt;
        }
        // Written back decoded: quoted-printable has no place in vCard 4.0.
        property.removeParam(QStringLiteral("ENCODING"));
        property.removeParam(QStringLiteral("CHARSET"));
        return property;
    }
    property.raw = line;
    return property;
}

bool isQuotedPrintableLine(const QString& line)
{
    const qsizetype colon = valueStart(line);
    return colon > 0 &&
           QStringView(line).left(colon).contains(u"QUOTED-PRINTABLE", Qt::CaseInsensitive);
}

// Joins folded lines and quoted-printable soft line breaks.
std::optional<QStringList> unfold(const QString& text, QString& error)
{
    QStringList lines;
    bool softBreak = false;
    for (QStringView physical : QStringView(text).split(u'\n')) {
        if (physical.endsWith(u'\r')) {
            physical.chop(1);
        }
        if (softBreak) {
            lines.last() += physical;
        } else if (physical.startsWith(u' ') || physical.startsWith(u'\t')) {
            if (lines.isEmpty()) {
                error = QStringLiteral("a folded line continues nothing");
                return std::nullopt;
            }
            lines.last() += physical.mid(1);
        } else if (!physical.trimmed().isEmpty()) {
            lines += physical.toString();
        }
        softBreak =
            !lines.isEmpty() && lines.last().endsWith(u'=') && isQuotedPrintableLine(lines.last());
        if (softBreak) {
            lines.last().chop(1);
        }
    }
    return lines;
}

std::optional<QString> decodeText(const QByteArray& bytes, QString& error)
{
    if (bytes.size() > MaxCardBytes) {
        error = QStringLiteral("the file is larger than %1 bytes").arg(MaxCardBytes);
        return std::nullopt;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError()) {
        error = QStringLiteral("the file is not valid UTF-8");
        return std::nullopt;
    }
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    if (hasForbiddenControl(text)) {
        error = QStringLiteral("the file holds control characters");
        return std::nullopt;
    }
    return text;
}

bool isLine(const VCardProperty& property, const char* name, const char* value)
{
    return property.name == QLatin1String(name) && property.group.isEmpty() &&
           property.value.trimmed().compare(QLatin1String(value), Qt::CaseInsensitive) == 0;
}

QString quoteParamValue(const QString& value)
{
    const bool plain = std::none_of(value.begin(), value.end(), [](QChar c) {
        return c == u'^' || c == u'\r' || c == u'\n' || c == u'"' || c == u':' || c == u';' ||
               c == u',';
    });
    if (plain) {
        return value;
    }
    QString text = value;
    text.replace(u'^', QStringLiteral("^^"))
        .replace(QStringLiteral("\r\n"), QStringLiteral("^n"))
        .replace(u'\r', QStringLiteral("^n"))
        .replace(u'\n', QStringLiteral("^n"))
        .replace(u'"', QStringLiteral("^'"));
    const bool needsQuotes = text.contains(u':') || text.contains(u';') || text.contains(u',');
    return needsQuotes ? u'"' + text + u'"' : text;
}

// Copies the leading ASCII characters as bytes, four at a time while it can.
qsizetype narrowAscii(const char16_t* from, qsizetype count, char* to)
{
    qsizetype i = 0;
    for (; i + 4 <= count; i += 4) {
        quint64 block;
        std::memcpy(&block, from + i, sizeof block);
        if (block & 0xFF80FF80FF80FF80ULL) {
            break;
        }
        for (qsizetype k = i; k < i + 4; ++k) {
            to[k] = char(from[k]);
        }
    }
    for (; i < count && from[i] < 0x80; ++i) {
        to[i] = char(from[i]);
    }
    return i;
}

// Writes content lines as UTF-8 and folds them while it goes, so that no
// line is built twice and nothing is inserted afterwards.
class FoldingWriter
{
public:
    explicit FoldingWriter(qsizetype expected) : m_out(expected, Qt::Uninitialized)
    {
        m_end = m_out.data();
        m_limit = m_end + m_out.size();
    }

    void append(QStringView text)
    {
        // Room for the text as ASCII with all its folds.
        reserve(text.size() + (text.size() / (FoldOctets - 1) + 1) * 3);
        const char16_t* p = text.utf16();
        const char16_t* const end = p + text.size();
        while (p != end) {
            if (m_column >= FoldOctets) {
                fold();
            }
            const qsizetype room = std::min<qsizetype>(end - p, FoldOctets - m_column);
            const qsizetype done = narrowAscii(p, room, m_end);
            m_end += done;
            m_column += done;
            p += done;
            if (done < room) {
                appendUtf8(QStringView(p, end).toUtf8());
                return;
            }
        }
    }

    void append(char c) { put(&c, 1); }

    // Bytes already UTF-8: folded between characters, never inside one.
    void appendUtf8(QByteArrayView bytes)
    {
        for (qsizetype i = 0; i < bytes.size();) {
            qsizetype length = 1;
            while (i + length < bytes.size() && (uchar(bytes[i + length]) & 0xC0) == 0x80) {
                ++length;
            }
            put(bytes.data() + i, length);
            i += length;
        }
    }

    // Text that is never folded, such as whole short lines.
    void appendLines(QByteArrayView lines)
    {
        reserve(lines.size());
        m_end = std::copy(lines.begin(), lines.end(), m_end);
        m_column = 0;
    }

    void endLine() { appendLines("\r\n"); }

    QByteArray take()
    {
        m_out.truncate(m_end - m_out.constData());
        return std::move(m_out);
    }

private:
    void put(const char* bytes, qsizetype length)
    {
        reserve(length + 3);
        if (m_column + length > FoldOctets && m_column > 1) {
            fold();
        }
        m_end = std::copy_n(bytes, length, m_end);
        m_column += length;
    }

    void fold()
    {
        m_end = std::copy_n("\r\n ", 3, m_end);
        m_column = 1;
    }

    void reserve(qsizetype length)
    {
        if (m_limit - m_end >= length) {
            return;
        }
        const qsizetype used = m_end - m_out.data();
        m_out.resize(std::max(2 * m_out.size(), used + length + 64));
        m_end = m_out.data() + used;
        m_limit = m_out.data() + m_out.size();
    }

    QByteArray m_out;
    char* m_end = nullptr;
    char* m_limit = nullptr;
    qsizetype m_column = 0;
};

// A changed property in vCard 4.0 form.
void writeLine(FoldingWriter& out, const VCardProperty& property)
{
    if (!property.group.isEmpty()) {
        out.append(property.group);
        out.append('.');
    }
    out.append(property.name);
    for (const VCardParam& p : property.params) {
        out.append(';');
        out.append(p.name);
        out.append('=');
        for (const QString& value : p.values) {
            if (&value != &p.values.front()) {
                out.append(',');
            }
            out.append(quoteParamValue(value));
        }
    }
    out.append(':');
    out.append(property.value);
}

} // namespace

QString VCardProperty::param(const QString& paramName) const
{
    for (const VCardParam& p : params) {
        if (p.name == paramName) {
            return p.values.join(u',');
        }
    }
    return {};
}

bool VCardProperty::hasParam(const QString& paramName) const
{
    return std::any_of(params.begin(), params.end(),
                       [&](const VCardParam& p) { return p.name == paramName; });
}

void VCardProperty::removeParam(const QString& paramName)
{
    params.removeIf([&](const VCardParam& p) { return p.name == paramName; });
}

void VCardProperty::setParam(const QString& paramName, const QStringList& values)
{
    removeParam(paramName);
    params += VCardParam{paramName, values};
}

QStringList VCardProperty::types() const
{
    QStringList result;
    forEachType([&](QStringView type) { result += type.toString().toLower(); });
    return result;
}

bool VCardProperty::hasType(QLatin1StringView type) const
{
    bool found = false;
    forEachType(
        [&](QStringView value) { found = found || value.compare(type, Qt::CaseInsensitive) == 0; });
    return found;
}

VCard::ParseResult VCard::parse(const QByteArray& bytes)
{
    ParseResult result;
    const std::optional<QString> text = decodeText(bytes, result.error);
    if (!text) {
        return result;
    }
    const std::optional<QStringList> lines = unfold(*text, result.error);
    if (!lines) {
        return result;
    }
    VCard card;
    bool begun = false;
    bool ended = false;
    for (const QString& line : *lines) {
        std::optional<VCardProperty> property = parseLine(line, result.error);
        if (!property) {
            return result;
        }
        if (ended) {
            result.error = QStringLiteral("the file holds more than one vCard");
            return result;
        }
        if (isLine(*property, "BEGIN", "VCARD")) {
            if (begun) {
                result.error = QStringLiteral("a vCard begins inside another");
                return result;
            }
            begun = true;
        } else if (!begun) {
            result.error = QStringLiteral("the file does not begin with BEGIN:VCARD");
            return result;
        } else if (isLine(*property, "END", "VCARD")) {
            ended = true;
        } else if (property->name == u"VERSION" && card.version.isEmpty()) {
            card.version = property->value.trimmed();
        } else {
            card.properties += std::move(*property);
        }
    }
    if (!ended) {
        result.error = QStringLiteral("the vCard has no END:VCARD");
        return result;
    }
    if (card.version == u"2.1") {
        // vCard 2.1 lines are no valid 4.0 lines: write each in today's form.
        for (VCardProperty& property : card.properties) {
            property.raw.clear();
        }
    }
    result.card = std::move(card);
    return result;
}

QByteArray VCard::serialize() const
{
    qsizetype estimate = 64;
    for (const VCardProperty& p : properties) {
        estimate += p.raw.isEmpty()
                        ? p.group.size() + p.name.size() + p.value.size() + 16 * p.params.size() + 8
                        : p.raw.size() + 2;
    }
    FoldingWriter out(estimate + estimate / 16);
    out.appendLines("BEGIN:VCARD\r\nVERSION:4.0\r\n");
    for (const VCardProperty& property : properties) {
        if (property.raw.isEmpty()) {
            writeLine(out, property);
        } else {
            out.append(property.raw);
        }
        out.endLine();
    }
    out.appendLines("END:VCARD\r\n");
    return out.take();
}

QString escapeText(const QString& text)
{
    const bool plain = std::none_of(text.begin(), text.end(), [](QChar c) {
        return c == u'\\' || c == u',' || c == u';' || (c.unicode() < 0x20 && c != u'\t');
    });
    if (plain) {
        return text;
    }
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' || c == u',' || c == u';') {
            out += u'\\';
            out += c;
        } else if (c == u'\r') {
            out += QStringLiteral("\\n");
            if (i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
        } else if (c == u'\n') {
            out += QStringLiteral("\\n");
        } else if (c.unicode() < 0x20 && c != u'\t') {
            continue; // a vCard cannot hold other control characters
        } else {
            out += c;
        }
    }
    return out;
}

QString unescapeText(const QString& value)
{
    return value.contains(u'\\') ? unescapeText(QStringView(value)) : value;
}

QString unescapeText(QStringView value)
{
    if (!value.contains(u'\\')) {
        return value.toString();
    }
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const QChar next = value[++i];
        if (next == u'n' || next == u'N') {
            out += u'\n';
        } else if (next == u'\\' || next == u',' || next == u';' || next == u':') {
            out += next;
        } else {
            // An unknown escape is kept as written rather than guessed at.
            out += u'\\';
            out += next;
        }
    }
    return out;
}

QStringList splitEscaped(QStringView value, QChar separator)
{
    QStringList parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\') {
            ++i;
        } else if (value[i] == separator) {
            parts += value.mid(start, i - start).toString();
            start = i + 1;
        }
    }
    parts += value.mid(start).toString();
    return parts;
}

QByteArray foldLine(const QByteArray& line)
{
    FoldingWriter out(line.size() + line.size() / 70 * 3 + 2);
    out.appendUtf8(line);
    out.endLine();
    return out.take();
}

} // namespace contacts
