#include "TextHelpers.h"

namespace brindle {

namespace {

bool isControlToClean(char32_t c)
{
    return c >= 8 && c <= 13;
}

// The simple (one-to-one) upper-case mapping; a letter whose upper case is
// longer, or lies in another plane, stays as it is.
char32_t upperOf(char32_t c)
{
    const char32_t upper = QChar::toUpper(c);
    return QChar::requiresSurrogates(upper) == QChar::requiresSurrogates(c) ? upper : c;
}

} // namespace

QString trimBlanks(QStringView text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ') {
        ++first;
    }
    while (last > first && text[last - 1] == u' ') {
        --last;
    }
    return text.sliced(first, last - first).toString();
}

QString firstCharacters(QStringView text, qsizetype count)
{
    qsizetype end = 0;
    for (qsizetype n = 0; n < count && end < text.size(); ++n) {
        const bool pair =
            text[end].isHighSurrogate() && end + 1 < text.size() && text[end + 1].isLowSurrogate();
        end += pair ? 2 : 1;
    }
    return text.first(end).toString();
}

QString booleanText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

namespace MMain {

QString CleanText(const QString& s, bool bKeepCase)
{
    QString cleaned;
    cleaned.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        char32_t c = s[i].unicode();
        if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(s[i], s[i + 1]);
            ++i;
        }
        if (!isControlToClean(c)) {
            cleaned.append(QChar::fromUcs4(bKeepCase ? c : upperOf(c)));
        }
    }
    return trimBlanks(cleaned);
}

} // namespace MMain
} // namespace brindle
