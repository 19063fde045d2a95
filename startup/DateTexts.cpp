#include "DateTexts.h"

#include "TextHelpers.h"

#include <QLocale>

namespace brindle {

namespace {

// The separator after the first field made of one of fieldLetters: "." in
// "dd.MM.yy", ":" in "AP h:mm". Blanks around it do not count.
QString separatorAfter(const QString& format, QStringView fieldLetters, const QString& fallback)
{
    qsizetype i = 0;
    while (i < format.size() && !fieldLetters.contains(format[i])) {
        ++i;
    }
    while (i < format.size() && format[i].isLetter()) {
        ++i;
    }
    const qsizetype start = i;
    while (i < format.size() && !format[i].isLetter() && format[i] != u'\'') {
        ++i;
    }
    const QString separator = trimBlanks(QStringView(format).sliced(start, i - start));
    return separator.isEmpty() ? fallback : separator;
}

QString dateSeparator()
{
    return separatorAfter(QLocale().dateFormat(QLocale::ShortFormat), u"dMy", QStringLiteral("/"));
}

QString timeSeparator()
{
    return separatorAfter(QLocale().timeFormat(QLocale::ShortFormat), u"hH", QStringLiteral(":"));
}

// The locale's abbreviated month name without an abbreviation's full stop,
// which would double a "." separator ("Dez", not "Dez.").
QString shortMonthName(int month)
{
    QString name = QLocale().standaloneMonthName(month, QLocale::ShortFormat);
    if (name.endsWith(u'.')) {
        name.chop(1);
    }
    return name;
}

QString twoDigits(int number)
{
    return QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
}

// The short date with a four-digit year and the short time with seconds.
QString generalDateFormat()
{
    QString date = QLocale().dateFormat(QLocale::ShortFormat);
    if (!date.contains(QLatin1String("yyyy"))) {
        date.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    }
    QString time = QLocale().timeFormat(QLocale::ShortFormat);
    if (!time.contains(u's')) {
        qsizetype minutesEnd = time.indexOf(u'm');
        while (minutesEnd >= 0 && minutesEnd < time.size() && time[minutesEnd] == u'm') {
            ++minutesEnd;
        }
        if (minutesEnd >= 0) {
            time.insert(minutesEnd, timeSeparator() + QStringLiteral("ss"));
        }
    }
    return date + u' ' + time;
}

} // namespace

QString logTimeStampText(const QDateTime& dateTime)
{
    const QDate date = dateTime.date();
    const QTime time = dateTime.time();
    const QString dates = dateSeparator();
    const QString times = timeSeparator();
    return twoDigits(date.day()) + dates + shortMonthName(date.month()) + dates +
           QString::number(date.year()) + u' ' + twoDigits(time.hour()) + times +
           twoDigits(time.minute()) + times + twoDigits(time.second());
}

QString captionDate(QDate date)
{
    return twoDigits(date.day()) + u' ' + shortMonthName(date.month()) + u' ' +
           QString::number(date.year());
}

QString generalDate(const QDateTime& dateTime)
{
    return QLocale().toString(dateTime, generalDateFormat());
}

std::optional<QDateTime> parseGeneralDate(const QString& text)
{
    const QLocale locale;
    for (const QString& format : {generalDateFormat(), locale.dateTimeFormat(QLocale::ShortFormat),
                                  locale.dateTimeFormat(QLocale::LongFormat)}) {
        const QDateTime parsed = locale.toDateTime(text, format);
        if (parsed.isValid()) {
            return parsed;
        }
    }
    return std::nullopt;
}

} // namespace brindle
