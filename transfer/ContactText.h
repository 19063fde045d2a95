#pragma once

#include <QString>

namespace brindle {

// psCategories with the items of psNew (comma-separated) that it does not
// already hold, compared trimmed and case-sensitively against the list as
// passed in; each added item keeps its own blanks.
QString AddCategory(const QString& psNew, const QString& psCategories);
// The number without blanks, "(", ")", "-" and tabs, so numbers compare.
QString FixPhoneCharacters(const QString& psPhone);

} // namespace brindle
