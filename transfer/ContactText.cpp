#include "ContactText.h"

#include <QStringList>

namespace brindle {

namespace {

QStringView blankTrimmed(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' ')) {
        ++begin;
    }
    while (end > begin && text[end - 1] == QLatin1Char(' ')) {
        --end;
    }
    return text.sliced(begin, end - begin);
}

} // namespace

QString AddCategory(const QString& psNew, const QString& psCategories)
{
    if (psNew.isEmpty()) {
        return psCategories;
    }
    const QStringList existing = psCategories.split(QLatin1Char(','));
    QString result = psCategories;
    for (const QString& item : psNew.split(QLatin1Char(','))) {
        const bool held = std::any_of(existing.cbegin(), existing.cend(), [&](const QString& e) {
            return blankTrimmed(e) == blankTrimmed(item);
        });
        if (held) {
            continue;
        }
        if (!result.isEmpty()) {
            result += QLatin1String(", ");
        }
        result += item;
    }
    return result;
}

QString FixPhoneCharacters(const QString& psPhone)
{
    QString phone = psPhone;
    for (const QChar c : {QLatin1Char(' '), QLatin1Char('('), QLatin1Char(')'), QLatin1Char('-'),
                          QLatin1Char('\t')}) {
        phone.remove(c);
    }
    return phone;
}

} // namespace brindle
