#include "FieldValues.h"

#include "Errors.h"

namespace contacts {

// The program works with Windows line breaks; vCard values hold plain ones.
QString withWindowsLineBreaks(QString text)
{
    const auto breaks =
        std::count_if(text.cbegin(), text.cend(), [](QChar c) { return c == u'\n' || c == u'\r'; });
    if (breaks == 0) {
        return text;
    }
    // One pass: every field read with a line break in it comes through here.
    QString out(text.size() + breaks, Qt::Uninitialized);
    QChar* to = out.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            *to++ = u'\r';
            *to++ = u'\n';
            i += text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n';
        } else {
            *to++ = text[i];
        }
    }
    out.truncate(to - out.constData());
    return out;
}

QString escapeUri(const QString& text)
{
    QString escaped = withWindowsLineBreaks(text)
                          .replace(u'\\', QStringLiteral("\\\\"))
                          .replace(QStringLiteral("\r\n"), QStringLiteral("\\n"));
    escaped.removeIf([](QChar c) { return c.unicode() < 0x20 && c != u'\t'; });
    return escaped;
}

QString textValue(const VCardProperty& p)
{
    // Without escapes the value reads as it stands, shared rather than copied.
    QString text = holdsChar(p.value, u'\\') ? escapedText(p.value) : p.value;
    if (p.name == QLatin1StringView("TEL") && text.startsWith(u"tel:", Qt::CaseInsensitive)) {
        text.remove(0, 4);
    }
    return text;
}

QString escapedText(QStringView escaped)
{
    // A value holds no line break but as an escape, so without a backslash it reads as it is.
    if (!holdsChar(escaped, u'\\')) {
        return escaped.toString();
    }
    return withWindowsLineBreaks(unescapeText(escaped));
}

QDate parseDate(const VCardProperty& p)
{
    if (p.param(QStringLiteral("VALUE")).compare(u"text", Qt::CaseInsensitive) == 0) {
        return {};
    }
    const QString text = p.value.trimmed().section(u'T', 0, 0);
    return QDate::fromString(text, text.contains(u'-') ? QStringLiteral("yyyy-MM-dd")
                                                       : QStringLiteral("yyyyMMdd"));
}

QDate toDate(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::UnknownType:
        return {};
    case QMetaType::QDate:
        return value.toDate();
    case QMetaType::QDateTime:
        return value.toDateTime().date();
    case QMetaType::QString: {
        const QString text = value.toString().trimmed();
        const QDate date = QDate::fromString(text, Qt::ISODate);
        if (text.isEmpty() || date.isValid()) {
            return date;
        }
        break;
    }
    default:
        break;
    }
    raise(brindle::ErrorNumber::TypeMismatch, QStringLiteral("Type mismatch: not a date"));
}

QString toText(const QVariant& value)
{
    if (value.typeId() == QMetaType::QString) {
        return value.toString();
    }
    if (value.isValid() && !value.canConvert<QString>()) {
        raise(brindle::ErrorNumber::TypeMismatch, QStringLiteral("Type mismatch: not a text"));
    }
    return value.toString();
}

int toMailingAddress(const QVariant& value)
{
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok || number < 0 || number > 3) {
        raise(brindle::ErrorNumber::TypeMismatch,
              QStringLiteral("Type mismatch: SelectedMailingAddress must be 0 to 3"));
    }
    return number;
}

QStringList categoryItems(const QString& text)
{
    QStringList items;
    for (const QString& item : text.split(u',')) {
        if (!item.trimmed().isEmpty()) {
            items += item.trimmed();
        }
    }
    return items;
}

// Whether an escaped value holds nothing but separators and blanks.
bool isBlankValue(QStringView value)
{
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\') {
            const QChar next = i + 1 < value.size() ? value[++i] : QChar();
            if (next != u'n' && next != u'N' && next != u';') {
                return false;
            }
        } else if (value[i] != u';' && !value[i].isSpace()) {
            return false;
        }
    }
    return true;
}

// The value with one ;-separated component replaced, padded to at least parts components.
QString withComponent(const QString& value, int index, int parts, const QString& escaped)
{
    QVarLengthArray<qsizetype, 8> separators;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\') {
            ++i;
        } else if (value[i] == u';') {
            separators.append(i);
        }
    }
    const qsizetype count = separators.size() + 1;
    const QStringView text(value);
    QString result;
    result.reserve(value.size() + escaped.size() + std::max(parts, index + 1));
    if (index < count) {
        result += text.first(index == 0 ? 0 : separators[index - 1] + 1);
        result += escaped;
        result += text.sliced(index < separators.size() ? separators[index] : value.size());
    } else {
        result += text;
        result += QString(index - count + 1, u';');
        result += escaped;
    }
    const qsizetype total = std::max<qsizetype>(count, index + 1);
    if (total < parts) {
        result += QString(parts - total, u';');
    }
    return result;
}

// Whether a value holds nothing but separators.
bool isOnlySeparators(QStringView value)
{
    return std::all_of(value.begin(), value.end(), [](QChar c) { return c == u';'; });
}

namespace {

// The end of the component that starts at a position: the next ";" that no
// backslash escapes, or the end of the value.
const QChar* componentEnd(const QChar* p, const QChar* end)
{
    for (; p != end && *p != u';'; ++p) {
        if (*p == u'\\' && p + 1 != end) {
            ++p;
        }
    }
    return p;
}

} // namespace

// All ;-separated components of a structured value, still escaped.
Components components(QStringView value)
{
    Components parts;
    const QChar* start = value.begin();
    while (true) {
        const QChar* end = componentEnd(start, value.end());
        parts.append(QStringView(start, end));
        if (end == value.end()) {
            return parts;
        }
        start = end + 1;
    }
}

// One ;-separated component of a structured value, still escaped. Walks only
// as far as the component, as every read of an address or name part does.
QStringView componentAt(QStringView value, int index)
{
    const QChar* start = value.begin();
    for (; index > 0; --index) {
        start = componentEnd(start, value.end());
        if (start == value.end()) {
            return QStringView();
        }
        ++start;
    }
    return QStringView(start, componentEnd(start, value.end()));
}

// Whether an escaped value reads as itself: no escapes and no line breaks.
bool isPlainText(QStringView value)
{
    return std::none_of(value.begin(), value.end(),
                        [](QChar c) { return c == u'\\' || c == u'\r' || c == u'\n'; });
}

// A date the program treats as "none" on the original platform.
bool isNoDate(const QDate& date)
{
    return !date.isValid() || date == QDate(4501, 1, 1);
}

// Whether a text needs no escaping and holds no line breaks, as most do.
bool isPlainValue(const QString& text)
{
    return std::none_of(text.cbegin(), text.cend(), [](QChar c) {
        const char16_t code = c.unicode();
        return code <= u'\\' &&
               ((code < 0x20 && code != u'\t') || code == u'\\' || code == u',' || code == u';');
    });
}

} // namespace contacts
