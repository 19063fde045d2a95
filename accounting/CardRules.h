#pragma once

#include "cardlib/Card.h"
#include "transfer/TransferMessages.h"

#include <QString>
#include <QStringList>

namespace brindle {

// The condition that loads the existing cards of the selected types, in the
// order customers, employees, personal, suppliers; activeOnly leaves
// inactive cards out.
QString existingCardsCondition(bool customers, bool employees, bool personal, bool suppliers,
                               bool activeOnly);

// A web address without its scheme ("http://" or "https://", any case) and
// outer blanks, upper-cased: two addresses that differ only there are one.
QString comparableWebAddress(const QString& address);

// Lets go of what an import never reads of an existing card: it keeps the
// identity, names and flags, and of its addresses the members the
// comparison looks at.
void keepWhatAnImportReads(TarvoCards::CCard& existing);

// Fills StreetLine1 to StreetLine4 of an address from a street of lines: a
// shorter street blanks the old lines with a single space, which the card
// library stores as an empty field; an empty street leaves lines 2 to 4.
void setStreetLines(TarvoCards::CAddress& address, const QString& street);

// Every line break (CR LF, a lone CR or LF) as one CR LF.
QString withWindowsLineBreaks(const QString& text);

} // namespace brindle
