#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace brindle {

// The date a custom field's text names in the system locale (QLocale()):
// its short date format, the same with a four-digit year, its long date
// format, or ISO 8601 (1985-03-05). Blanks around the text do not count.
// Any other text is not a date.
std::optional<QDate> customFieldDate(const QString& text);

// A date as the contact comparison shows it: the locale's short format with
// a four-digit year; "" for no date.
QString dateText(const QDate& date);

} // namespace brindle
