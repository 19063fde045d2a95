#include "CustomFieldDate.h"

#include "startup/TextHelpers.h"

#include <QLocale>

namespace brindle {

namespace {

QString shortFormatWithFullYear()
{
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy"))) {
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    }
    return format;
}

} // namespace

std::optional<QDate> customFieldDate(const QString& text)
{
    const QString trimmed = trimBlanks(text);
    if (trimmed.isEmpty()) {
        return std::nullopt;
    }
    const QLocale locale;
    for (const QString& format :
         {shortFormatWithFullYear(), locale.dateFormat(QLocale::ShortFormat),
          locale.dateFormat(QLocale::LongFormat)}) {
        const QDate date = locale.toDate(trimmed, format);
        if (date.isValid()) {
            return date;
        }
    }
    const QDate iso = QDate::fromString(trimmed, Qt::ISODate);
    return iso.isValid() ? std::optional<QDate>(iso) : std::nullopt;
}

QString dateText(const QDate& date)
{
    return date.isValid() ? QLocale().toString(date, shortFormatWithFullYear()) : QString();
}

} // namespace brindle
