#pragma once

#include "cardlib/Card.h"

#include <QString>

namespace brindle {

// The matching key an export writes into User3: the first three letters of
// the last name, the first of the first name and the record ID modulo 1000
// in three digits (Smith, Jo, 12345 gives "SmiJ345").
QString matchingKey(const TarvoCards::CCard& card);

// The Find clause of the card's record ID alone: ([CustomerID] = '12345').
QString customerIdClause(const TarvoCards::CCard& card);

// The Find filter of every way a card's contact can be known: its
// identification (unless blank or "*None"), its names, its matching key and
// its record ID, joined by " OR ". A name clause without any name is left
// out, as it would find every contact without one.
QString searchFilter(const TarvoCards::CCard& card);

// The properties customerIdClause and searchFilter name.
QStringList searchedProperties();

} // namespace brindle
