#include "VCard.h"

#include <cstring>

namespace contacts {

// Four characters at a time while none is below a blank, as in most text.
qsizetype firstBelowBlank(QStringView text, qsizetype from)
{
    const char16_t* data = text.utf16();
    qsizetype i = from;
    for (; i + 4 <= text.size(); i += 4) {
        quint64 block;
        std::memcpy(&block, data + i, sizeof block);
        // A 16-bit lane below 0x20 has all of its bits above the lowest five clear.
        const quint64 high = block & 0xFFE0FFE0FFE0FFE0ULL;
        if (!(high & 0xFFFFULL) || !(high & 0xFFFF0000ULL) || !(high & 0xFFFF00000000ULL) ||
            !(high & 0xFFFF000000000000ULL)) {
            break;
        }
    }
    for (; i < text.size() && data[i] >= 0x20; ++i) {
    }
    return i;
}

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

} // namespace contacts
