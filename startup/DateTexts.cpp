#include "DateTexts.h"

#include <QLocale>

namespace brindle {

namespace {

QString generalDateFormat()
{
    QString format = QLocale().dateTimeFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy"))) {
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    }
    return format;
}

} // namespace

QString generalDate(const QDateTime& dateTime)
{
    return QLocale().toString(dateTime, generalDateFormat());
}

std::optional<QDateTime> parseGeneralDate(const QString& text)
{
    const QDateTime general = QLocale().toDateTime(text, generalDateFormat());
    if (general.isValid()) {
        return general;
    }
    for (const QLocale& locale : {QLocale(), QLocale::c()}) {
        for (auto format : {QLocale::ShortFormat, QLocale::LongFormat}) {
            const QDateTime parsed = locale.toDateTime(text, format);
            if (parsed.isValid()) {
                return parsed;
            }
        }
    }
    const QDateTime iso = QDateTime::fromString(text, Qt::ISODate);
    return iso.isValid() ? std::optional(iso) : std::nullopt;
}

} // namespace brindle
