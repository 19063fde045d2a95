#include "VCard.h"

namespace contacts {

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
