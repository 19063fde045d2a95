#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace brindle {

// Dates as the program writes and reads them, in the default locale.

// Format(dateTime, "dd/mmm/yyyy HH:NN:SS"), the time stamp of log lines.
QString logTimeStampText(const QDateTime& dateTime);

// Format(date, "dd mmm yyyy"), the date of the "Last Connected:" caption.
QString captionDate(QDate date);

// The general date format: the locale's short date with a four-digit year
// and its time with the seconds, so the text reads back unambiguously.
QString generalDate(const QDateTime& dateTime);
// A text written by generalDate, or any date the locale can read.
std::optional<QDateTime> parseGeneralDate(const QString& text);

} // namespace brindle
