#include "VCard.h"

#include <QHash>
#include <QStringDecoder>
#include <QVarLengthArray>

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

QString VCardProperty::line() const
{
    QString text;
    text.reserve(group.size() + name.size() + value.size() + 16 * params.size() + 2);
    if (!group.isEmpty()) {
        text += group;
        text += u'.';
    }
    text += name;
    for (const VCardParam& p : params) {
        text += u';';
        text += p.name;
        text += u'=';
        for (const QString& value : p.values) {
            if (&value != &p.values.front()) {
                text += u',';
            }
            text += quoteParamValue(value);
        }
    }
    text += u':';
    text += value;
    return text;
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
    QByteArray out;
    out.reserve(64 * (properties.size() + 4));
    out += "BEGIN:VCARD\r\nVERSION:4.0\r\n";
    for (const VCardProperty& property : properties) {
        appendFolded(out, (property.raw.isEmpty() ? property.line() : property.raw).toUtf8());
    }
    out += "END:VCARD\r\n";
    return out;
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
    QByteArray out;
    out.reserve(line.size() + line.size() / 70 * 3 + 2);
    appendFolded(out, line);
    return out;
}

void appendFolded(QByteArray& out, const QByteArray& line)
{
    qsizetype pos = 0;
    qsizetype room = FoldOctets;
    while (line.size() - pos > room) {
        qsizetype cut = pos + room;
        while (cut > pos && (uchar(line[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        out.append(line.constData() + pos, cut - pos);
        out += "\r\n ";
        pos = cut;
        room = FoldOctets - 1;
    }
    out.append(line.constData() + pos, line.size() - pos);
    out += "\r\n";
}

} // namespace contacts
