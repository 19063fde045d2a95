#pragma once

#include "Card.h"

#include <span>

namespace TarvoCards {

// How a card made from a contact is weighed against the stored card it
// would update, field by field.
enum class Comparison
{
    NotCompared,
    Exact, // the texts as they stand
    Text,  // upper-cased and trimmed
    Name,  // as Text; a name that only moves "The" keeps the stored form
    Phone, // after the phone clean-up, exactly
    Web    // as Text; an address that only adds a scheme keeps the stored form
};

// How the copy of a card for the import takes a field.
enum class ImportCopy
{
    NotCopied,
    AsIs,
    OrEmpty // an empty text becomes the connection's empty value, so the stored one stays
};

// Where a contact carries a field: read into a card on import, written from
// it on export, and for an address field on the contact's other address
// (address 2) besides the first.
enum Carried : unsigned
{
    Nowhere = 0,
    OnImport = 1,
    OnExport = 2,
    BothWays = OnImport | OnExport,
    OnOtherAddress = 4
};

// A text field of a card or an address: its column in Cards or Addresses
// (name, most characters kept, default, and whether many cards tend to hold
// the same value, so that a loaded value is worth keeping once), and what
// the sync with contacts does with it. The name is also the key a
// difference is listed under.
template <typename Record> struct CardField
{
    const char* name;
    QString Record::*member;
    int maxLength;
    const char* defaultValue = "";
    bool repeats = false;
    Comparison comparison = Comparison::NotCompared;
    // Where the field's difference stands in the list of changes of a card,
    // card and address fields together.
    int comparedAt = 0;
    ImportCopy copy = ImportCopy::NotCopied;
    unsigned carried = Nowhere;
};

// Cards columns after CardRecordID and CardTypeID, in select order.
std::span<const CardField<CCard>> cardColumns();
// The two delivery columns that follow them.
std::span<const CardField<CImportCard>> deliveryColumns();
// Addresses columns after CardRecordID and Location, in select order.
std::span<const CardField<CAddress>> addressColumns();

} // namespace TarvoCards
