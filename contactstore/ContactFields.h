#pragma once

#include <span>

namespace contacts {

// How a contact property's value is held in its vCard property.
enum class FieldKind
{
    Text,
    Uri,
    Component, // one part of a structured value (N, ORG, ADR)
    Categories,
    Date,
    Mailing // which address carries the preference
};

// Which of the vCard properties of one name holds a field, told by their
// TYPE words; First: the first of that name.
enum class Selector
{
    First,
    HomeTel,
    BusinessTel,
    MobileTel,
    OtherTel,
    HomeFax,
    BusinessFax,
    OtherFax,
    HomeAdr,
    BusinessAdr,
    OtherAdr,
    Spouse
};

// One contact property of the object model and its vCard form.
struct ContactField
{
    const char* name;
    FieldKind kind;
    const char* property;   // in vCard 4.0
    const char* property30; // in vCard 3.0, which lacks the 4.0 one; null: the same
    Selector selector;      // in 4.0; the 3.0 replacement is always the first
    const char* newTypes;   // TYPE of a vCard property made for the field
    int component;          // of a structured value
    int components;         // that a structured value made for it gets
};

// Each contact property lives in the first vCard property its row selects.
std::span<const ContactField> contactFields();

} // namespace contacts
