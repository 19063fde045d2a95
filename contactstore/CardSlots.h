#pragma once

#include "ContactFields.h"
#include "VCard.h"

#include <optional>
#include <vector>

namespace contacts {

// Which vCard property holds each contact field of one card, in the form of
// the card's version. Telling that means matching TYPE words, so it is worked
// out once and then follows every edit made through this class.
class CardSlots
{
public:
    explicit CardSlots(const VCard& card);

    // The index of the vCard property behind a field, or -1.
    qsizetype find(int field) const { return m_slots[size_t(field)]; }
    // The vCard property name of a field in the card's version.
    const QString& propertyOf(int field) const;

    // The property behind a field, made (at the end) when missing.
    VCardProperty& findOrAdd(VCard& card, int field);
    void remove(VCard& card, int field);
    void removeAll(VCard& card, const QString& name);
    void prepend(VCard& card, VCardProperty p);

private:
    void claimAll(const VCard& card);
    void claim(const VCard& card, qsizetype index);
    void claim(const VCard& card, qsizetype index, std::optional<unsigned> typeWords);

    bool m_is30;
    std::vector<qsizetype> m_slots;
};

// The vCard property made for a field starts as this.
VCardProperty blankProperty(const ContactField& field, bool is30);
bool isPreferred(const VCardProperty& p);
int fieldNumber(const QString& name);

} // namespace contacts
