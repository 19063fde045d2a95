#pragma once

#include <QString>

namespace brindle {

// Messages of the cards a run refuses, as the reports list them.
inline const QString duplicateCard = QStringLiteral("Duplicate Card");
inline const QString inactiveCard = QStringLiteral("VEXO Card Inactive");
inline const QString unreadableContact = QStringLiteral("The contact could not be read");
// What CheckCardSkip found for a card it lets through, carried to its item.
inline const QString newCard = QStringLiteral("New Card");
inline const QString changedCard = QStringLiteral("Changed Card");

} // namespace brindle
