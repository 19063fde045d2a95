#include "ContactFields.h"

namespace contacts {

namespace {

using enum FieldKind;
using enum Selector;

// clang-format off
const ContactField fields[] = {
    // name                        kind        property       3.0              selector     new TYPE      part of
    {"LastName",                   Component,  "N",           nullptr,         First,       nullptr,      0, 5},
    {"FirstName",                  Component,  "N",           nullptr,         First,       nullptr,      1, 5},
    {"MiddleName",                 Component,  "N",           nullptr,         First,       nullptr,      2, 5},
    {"Title",                      Component,  "N",           nullptr,         First,       nullptr,      3, 5},
    {"Suffix",                     Component,  "N",           nullptr,         First,       nullptr,      4, 5},
    {"FullName",                   Text,       "FN",          nullptr,         First,       nullptr,      0, 1},
    {"CompanyName",                Component,  "ORG",         nullptr,         First,       nullptr,      0, 1},
    {"FileAs",                     Text,       "X-BRINDLE-FILE-AS", nullptr,   First,       nullptr,      0, 1},
    {"CustomerID",                 Text,       "X-BRINDLE-CUSTOMER-ID", nullptr, First,     nullptr,      0, 1},
    {"User1",                      Text,       "X-BRINDLE-USER1", nullptr,     First,       nullptr,      0, 1},
    {"User2",                      Text,       "X-BRINDLE-USER2", nullptr,     First,       nullptr,      0, 1},
    {"User3",                      Text,       "X-BRINDLE-USER3", nullptr,     First,       nullptr,      0, 1},
    {"User4",                      Text,       "X-BRINDLE-USER4", nullptr,     First,       nullptr,      0, 1},
    {"Categories",                 Categories, "CATEGORIES",  nullptr,         First,       nullptr,      0, 1},
    {"Body",                       Text,       "NOTE",        nullptr,         First,       nullptr,      0, 1},
    {"HomeAddressStreet",          Component,  "ADR",         nullptr,         HomeAdr,     "home",       2, 7},
    {"HomeAddressCity",            Component,  "ADR",         nullptr,         HomeAdr,     "home",       3, 7},
    {"HomeAddressState",           Component,  "ADR",         nullptr,         HomeAdr,     "home",       4, 7},
    {"HomeAddressPostalCode",      Component,  "ADR",         nullptr,         HomeAdr,     "home",       5, 7},
    {"HomeAddressCountry",         Component,  "ADR",         nullptr,         HomeAdr,     "home",       6, 7},
    {"BusinessAddressStreet",      Component,  "ADR",         nullptr,         BusinessAdr, "work",       2, 7},
    {"BusinessAddressCity",        Component,  "ADR",         nullptr,         BusinessAdr, "work",       3, 7},
    {"BusinessAddressState",       Component,  "ADR",         nullptr,         BusinessAdr, "work",       4, 7},
    {"BusinessAddressPostalCode",  Component,  "ADR",         nullptr,         BusinessAdr, "work",       5, 7},
    {"BusinessAddressCountry",     Component,  "ADR",         nullptr,         BusinessAdr, "work",       6, 7},
    {"OtherAddressStreet",         Component,  "ADR",         nullptr,         OtherAdr,    "other",      2, 7},
    {"OtherAddressCity",           Component,  "ADR",         nullptr,         OtherAdr,    "other",      3, 7},
    {"OtherAddressState",          Component,  "ADR",         nullptr,         OtherAdr,    "other",      4, 7},
    {"OtherAddressPostalCode",     Component,  "ADR",         nullptr,         OtherAdr,    "other",      5, 7},
    {"OtherAddressCountry",        Component,  "ADR",         nullptr,         OtherAdr,    "other",      6, 7},
    {"HomeTelephoneNumber",        Text,       "TEL",         nullptr,         HomeTel,     "home,voice", 0, 1},
    {"BusinessTelephoneNumber",    Text,       "TEL",         nullptr,         BusinessTel, "work,voice", 0, 1},
    {"MobileTelephoneNumber",      Text,       "TEL",         nullptr,         MobileTel,   "cell",       0, 1},
    {"OtherTelephoneNumber",       Text,       "TEL",         nullptr,         OtherTel,    "voice",      0, 1},
    {"HomeFaxNumber",              Text,       "TEL",         nullptr,         HomeFax,     "home,fax",   0, 1},
    {"BusinessFaxNumber",          Text,       "TEL",         nullptr,         BusinessFax, "work,fax",   0, 1},
    {"OtherFaxNumber",             Text,       "TEL",         nullptr,         OtherFax,    "fax",        0, 1},
    {"Email1Address",              Text,       "EMAIL",       nullptr,         First,       nullptr,      0, 1},
    {"WebPage",                    Uri,        "URL",         nullptr,         First,       nullptr,      0, 1},
    {"Anniversary",                Date,       "ANNIVERSARY", "X-ANNIVERSARY", First,       nullptr,      0, 1},
    {"Birthday",                   Date,       "BDAY",        nullptr,         First,       nullptr,      0, 1},
    {"Spouse",                     Text,       "RELATED",     "X-SPOUSE",      Spouse,      "spouse",     0, 1},
    {"SelectedMailingAddress",     Mailing,    "ADR",         nullptr,         First,       nullptr,      0, 1},
};
// clang-format on

} // namespace

std::span<const ContactField> contactFields()
{
    return fields;
}

} // namespace contacts
