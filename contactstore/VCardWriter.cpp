#include "VCard.h"

#include <cstring>

namespace contacts {

namespace {

constexpr qsizetype FoldOctets = 75;

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

bool isControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F;
}

QString quoted(const QString& text)
{
    const bool needsQuotes = text.contains(u':') || text.contains(u';') || text.contains(u',');
    return needsQuotes ? u'"' + text + u'"' : text;
}

// 3.0 has no escapes: line breaks, other controls and double quotes, which
// only a program could have put there, are left out.
QString paramValue30(QString value)
{
    value.removeIf([](QChar c) { return c == u'"' || isControl(c); });
    return quoted(value);
}

// RFC 6868 escapes.
QString paramValue40(QString value)
{
    value.replace(u'^', QStringLiteral("^^"))
        .replace(QStringLiteral("\r\n"), QStringLiteral("^n"))
        .replace(u'\r', QStringLiteral("^n"))
        .replace(u'\n', QStringLiteral("^n"))
        .replace(u'"', QStringLiteral("^'"));
    value.removeIf(isControl);
    return quoted(value);
}

// A parameter value as the card's version writes it.
QString quoteParamValue(const QString& value, bool is30)
{
    const bool plain = std::none_of(value.begin(), value.end(), [](QChar c) {
        return c == u'^' || c == u'"' || c == u':' || c == u';' || c == u',' || isControl(c);
    });
    if (plain) {
        return value;
    }
    return is30 ? paramValue30(value) : paramValue40(value);
}

// Names hold name characters only; anything else a program put there is left out.
QString nameText(const QString& name)
{
    if (std::all_of(name.begin(), name.end(), isNameChar)) {
        return name;
    }
    QString text = name;
    text.removeIf([](QChar c) { return !isNameChar(c); });
    return text;
}

// A value holds escapes, not line breaks; other controls are left out.
QString valueText(const QString& value)
{
    qsizetype control = firstBelowBlank(value);
    while (control < value.size() && value[control] == u'\t') {
        control = firstBelowBlank(value, control + 1);
    }
    if (control == value.size()) {
        return value;
    }
    QString text;
    text.reserve(value.size() + 8);
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\r' || c == u'\n') {
            text += QStringLiteral("\\n");
            i += c == u'\r' && i + 1 < value.size() && value[i + 1] == u'\n';
        } else if (c.unicode() >= 0x20 || c == u'\t') {
            text += c;
        }
    }
    return text;
}

// A changed property, in the form of the card's version.
void writeLine(FoldingWriter& out, const VCardProperty& property, bool is30)
{
    const QString group = nameText(property.group);
    if (!group.isEmpty()) {
        out.append(group);
        out.append('.');
    }
    out.append(nameText(property.name));
    for (const VCardParam& p : property.params) {
        out.append(';');
        out.append(nameText(p.name));
        out.append('=');
        for (const QString& value : p.values) {
            if (&value != &p.values.front()) {
                out.append(',');
            }
            out.append(quoteParamValue(value, is30));
        }
    }
    out.append(':');
    out.append(valueText(property.value));
}

} // namespace

QByteArray VCard::serialize() const
{
    qsizetype estimate = 64;
    for (const VCardProperty& p : properties) {
        estimate += p.raw.isEmpty()
                        ? p.group.size() + p.name.size() + p.value.size() + 16 * p.params.size() + 8
                        : p.raw.size() + 2;
    }
    FoldingWriter out(estimate + estimate / 16);
    out.appendLines(is30() ? "BEGIN:VCARD\r\nVERSION:3.0\r\n" : "BEGIN:VCARD\r\nVERSION:4.0\r\n");
    for (const VCardProperty& property : properties) {
        if (property.raw.isEmpty()) {
            writeLine(out, property, is30());
        } else {
            out.append(property.raw);
        }
        out.endLine();
    }
    out.appendLines("END:VCARD\r\n");
    return out.take();
}

} // namespace contacts
