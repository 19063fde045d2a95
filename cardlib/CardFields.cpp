#include "CardFields.h"

namespace TarvoCards {

namespace {

using enum Comparison;
using enum ImportCopy;

const CardField<CCard> cardFieldList[] = {
    {"CardIdentification", &CCard::CardIdentification, 15, "", false, Text, 3, AsIs, BothWays},
    {"LastName", &CCard::LastName, 52, "", false, Name, 1, OrEmpty, BothWays},
    {"FirstName", &CCard::FirstName, 20, "", true, Text, 2, OrEmpty, BothWays},
    {"IsIndividual", &CCard::IsIndividual, 1, "N", true, Exact, 18, AsIs, BothWays},
    {"IsInactive", &CCard::IsInactive, 1, "N", true, NotCompared, 0, AsIs, Nowhere},
    {"Identifiers", &CCard::Identifiers, 26, "", true, NotCompared, 0, NotCopied, OnExport},
    {"CustomField1", &CCard::CustomField1, 30, "", true, NotCompared, 0, OrEmpty, OnExport},
    {"CustomField2", &CCard::CustomField2, 30, "", true, NotCompared, 0, OrEmpty, OnExport},
    {"CustomField3", &CCard::CustomField3, 30, "", true, NotCompared, 0, OrEmpty, OnExport},
    {"Notes", &CCard::Notes, 2000, "", false, NotCompared, 0, OrEmpty, BothWays},
};

// Kept per card type by the import itself, never by a contact.
const CardField<CImportCard> deliveryFieldList[] = {
    {"InvoiceDeliveryID", &CImportCard::InvoiceDeliveryID, 10, "", true},
    {"PurchaseDeliveryID", &CImportCard::PurchaseDeliveryID, 10, "", true},
};

const CardField<CAddress> addressFieldList[] = {
    {"StreetLine1", &CAddress::StreetLine1, 255, "", false, Text, 10, OrEmpty,
     BothWays | OnOtherAddress},
    {"StreetLine2", &CAddress::StreetLine2, 255, "", false, Text, 11, OrEmpty,
     BothWays | OnOtherAddress},
    {"StreetLine3", &CAddress::StreetLine3, 255, "", false, Text, 12, OrEmpty,
     BothWays | OnOtherAddress},
    {"StreetLine4", &CAddress::StreetLine4, 255, "", false, Text, 13, OrEmpty,
     BothWays | OnOtherAddress},
    {"City", &CAddress::City, 255, "", true, Text, 14, OrEmpty, BothWays | OnOtherAddress},
    {"State", &CAddress::State, 255, "", true, Text, 15, OrEmpty, BothWays | OnOtherAddress},
    {"Postcode", &CAddress::Postcode, 11, "", true, Text, 16, OrEmpty, BothWays | OnOtherAddress},
    {"Country", &CAddress::Country, 255, "", true, Text, 17, OrEmpty, BothWays | OnOtherAddress},
    {"Phone1", &CAddress::Phone1, 21, "", false, Phone, 5, OrEmpty, BothWays},
    {"Phone2", &CAddress::Phone2, 21, "", false, Phone, 6, OrEmpty, BothWays},
    {"Phone3", &CAddress::Phone3, 21, "", false, Phone, 7, OrEmpty, BothWays},
    {"Fax", &CAddress::Fax, 21, "", false, Phone, 8, OrEmpty, BothWays},
    {"Email", &CAddress::Email, 255, "", false, Text, 4, OrEmpty, BothWays},
    {"WWW", &CAddress::WWW, 255, "", false, Web, 9, OrEmpty, BothWays},
    // Kept by the company file per address; no contact field fills them.
    {"Salutation", &CAddress::Salutation, 15, "", true, NotCompared, 0, AsIs, Nowhere},
    {"ContactName", &CAddress::ContactName, 25, "", false, NotCompared, 0, AsIs, Nowhere},
    {"Designation", &CAddress::Designation, 25, "", true, NotCompared, 0, OrEmpty, Nowhere},
    {"Department", &CAddress::Department, 30, "", true, NotCompared, 0, OrEmpty, Nowhere},
};

} // namespace

std::span<const CardField<CCard>> cardColumns()
{
    return cardFieldList;
}

std::span<const CardField<CImportCard>> deliveryColumns()
{
    return deliveryFieldList;
}

std::span<const CardField<CAddress>> addressColumns()
{
    return addressFieldList;
}

} // namespace TarvoCards
