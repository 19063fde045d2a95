#include "IniFile.h"

#include <QStringDecoder>
#include <algorithm>

namespace brindle {

namespace {

enum class Role
{
    KeyPart,
    Name,
    Data
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArray trimmedSyntax(QByteArrayView text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && isBlank(text[first])) {
        ++first;
    }
    while (last > first && isBlank(text[last - 1])) {
        --last;
    }
    return text.sliced(first, last - first).toByteArray();
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// %XX gives the byte XX; a "%" not followed by two hex digits is itself.
// Nothing for a raw NUL (a sign of a binary file) or bytes that are not
// UTF-8.
std::optional<QString> decodeText(QByteArrayView text)
{
    if (text.contains('\0')) {
        return std::nullopt;
    }
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int high = text[i] == '%' && i + 2 < text.size() ? hexValue(text[i + 1]) : -1;
        const int low = high >= 0 ? hexValue(text[i + 2]) : -1;
        if (low >= 0) {
            bytes.append(char(high * 16 + low));
            i += 2;
        } else {
            bytes.append(text[i]);
        }
    }
    QStringDecoder toUtf16(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = toUtf16.decode(bytes);
    if (toUtf16.hasError()) {
        return std::nullopt;
    }
    return decoded.isNull() ? QStringLiteral("") : decoded;
}

bool needsEscape(char c, qsizetype at, qsizetype size, Role role)
{
    const auto byte = quint8(c);
    if (c == '%' || byte < 0x20 || byte == 0x7F) {
        return true;
    }
    switch (role) {
    case Role::KeyPart:
        return c == '/' || c == '\\' || c == '[' || c == ']';
    case Role::Name:
        if (c == '=' || (at == 0 && (c == '[' || c == ';' || c == '#'))) {
            return true;
        }
        break;
    case Role::Data:
        break;
    }
    return c == ' ' && (at == 0 || at == size - 1); // edge blanks would be trimmed
}

QByteArray encodeText(QStringView text, Role role)
{
    const QByteArray bytes = text.toUtf8();
    QByteArray encoded;
    encoded.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (needsEscape(bytes[i], i, bytes.size(), role)) {
            encoded.append('%').append(QByteArray(1, bytes[i]).toHex().toUpper());
        } else {
            encoded.append(bytes[i]);
        }
    }
    return encoded;
}

// The default value is written "@", a value really named "@" as "%40".
QByteArray encodeName(const QString& name)
{
    if (name.isEmpty()) {
        return "@";
    }
    return name == u"@" ? QByteArray("%40") : encodeText(name, Role::Name);
}

QStringList keyParts(const QString& keyPath)
{
    return keyPath.split(u'\\', Qt::SkipEmptyParts);
}

bool sameText(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The key path of a "[A/B/C]" line, parts joined by '\'; nothing when the
// line is no readable key line.
std::optional<QString> parseKeyLine(const QByteArray& line)
{
    if (!line.endsWith(']') || line.size() < 2) {
        return std::nullopt;
    }
    QStringList parts;
    for (const QByteArray& part : line.mid(1, line.size() - 2).replace('\\', '/').split('/')) {
        const std::optional<QString> decoded = decodeText(part);
        if (!decoded) {
            return std::nullopt;
        }
        if (!decoded->isEmpty()) {
            parts.append(*decoded);
        }
    }
    return parts.isEmpty() ? std::nullopt : std::optional(parts.join(u'\\'));
}

} // namespace

IniFile::Line IniFile::parseLine(const QByteArray& raw, const Line* key)
{
    Line line;
    line.raw = raw;
    const QByteArray text = trimmedSyntax(raw);
    if (text.isEmpty() || text.startsWith(';') || text.startsWith('#')) {
        return line;
    }
    if (text.startsWith('[')) {
        const std::optional<QString> keyPath = parseKeyLine(text);
        line.kind = keyPath ? Line::Kind::Key : Line::Kind::DamagedKey;
        line.keyPath = keyPath.value_or(QString());
        return line;
    }
    line.kind = Line::Kind::Damaged;
    const qsizetype equals = text.indexOf('=');
    if (!key || key->kind != Line::Kind::Key || equals <= 0) {
        return line;
    }
    line.rawName = trimmedSyntax(QByteArrayView(text).first(equals));
    const std::optional<QString> name =
        line.rawName == "@" ? std::optional(QString()) : decodeText(line.rawName);
    const std::optional<QString> data =
        decodeText(trimmedSyntax(QByteArrayView(text).sliced(equals + 1)));
    if (!name || !data) {
        return line;
    }
    line.kind = Line::Kind::Value;
    line.keyPath = key->keyPath;
    line.name = *name;
    line.data = *data;
    return line;
}

IniFile IniFile::parse(const QByteArray& text)
{
    IniFile file;
    QList<QByteArray> rawLines = text.split('\n');
    if (text.endsWith('\n') || text.isEmpty()) {
        rawLines.removeLast();
    }
    qsizetype key = -1;
    for (QByteArray& raw : rawLines) {
        if (raw.endsWith('\r')) {
            raw.chop(1);
        }
        file.m_lines.append(parseLine(raw, key >= 0 ? &file.m_lines[key] : nullptr));
        const Line::Kind kind = file.m_lines.last().kind;
        if (kind == Line::Kind::Key || kind == Line::Kind::DamagedKey) {
            key = file.m_lines.size() - 1;
        }
    }
    return file;
}

qsizetype IniFile::findValue(const QString& keyPath, const QString& valueName) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        if (line.kind == Line::Kind::Value && sameText(line.keyPath, keyPath) &&
            sameText(line.name, valueName)) {
            return i;
        }
    }
    return -1;
}

std::optional<QString> IniFile::value(const QString& keyPath, const QString& valueName) const
{
    const qsizetype found = findValue(keyParts(keyPath).join(u'\\'), valueName);
    return found < 0 ? std::nullopt : std::optional(m_lines[found].data);
}

qsizetype IniFile::insertionPoint(const QString& keyPath) const
{
    qsizetype i = 0;
    while (i < m_lines.size() &&
           !(m_lines[i].kind == Line::Kind::Key && sameText(m_lines[i].keyPath, keyPath))) {
        ++i;
    }
    if (i == m_lines.size()) {
        return -1;
    }
    qsizetype after = i;
    for (++i; i < m_lines.size(); ++i) {
        const Line::Kind kind = m_lines[i].kind;
        if (kind == Line::Kind::Key || kind == Line::Kind::DamagedKey) {
            break;
        }
        if (kind == Line::Kind::Value) {
            after = i;
        }
    }
    return after + 1;
}

bool IniFile::setValue(const QString& keyPath, const QString& valueName, const QString& data)
{
    const QStringList parts = keyParts(keyPath);
    if (parts.isEmpty()) {
        return false;
    }
    const QString path = parts.join(u'\\');
    const QByteArray encodedData = encodeText(data, Role::Data);
    if (const qsizetype found = findValue(path, valueName); found >= 0) {
        Line& line = m_lines[found];
        line.raw = line.rawName + '=' + encodedData;
        line.data = data;
        return true;
    }
    Line value;
    value.kind = Line::Kind::Value;
    value.keyPath = path;
    value.rawName = encodeName(valueName);
    value.raw = value.rawName + '=' + encodedData;
    value.name = valueName;
    value.data = data;
    if (const qsizetype at = insertionPoint(path); at >= 0) {
        m_lines.insert(at, value);
        return true;
    }
    QByteArrayList encodedParts;
    for (const QString& part : parts) {
        encodedParts.append(encodeText(part, Role::KeyPart));
    }
    Line key;
    key.kind = Line::Kind::Key;
    key.keyPath = path;
    key.raw = '[' + encodedParts.join('/') + ']';
    m_lines.append(key);
    m_lines.append(value);
    return true;
}

qsizetype IniFile::damagedLines() const
{
    return std::count_if(m_lines.cbegin(), m_lines.cend(), [](const Line& line) {
        return line.kind == Line::Kind::Damaged || line.kind == Line::Kind::DamagedKey;
    });
}

qsizetype IniFile::firstDamagedLine() const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Line::Kind::Damaged || m_lines[i].kind == Line::Kind::DamagedKey) {
            return i + 1;
        }
    }
    return 0;
}

QByteArray IniFile::text() const
{
    QByteArray text;
    for (const Line& line : m_lines) {
        if (line.kind != Line::Kind::Damaged && line.kind != Line::Kind::DamagedKey) {
            text += line.raw + '\n';
        }
    }
    return text;
}

} // namespace brindle
