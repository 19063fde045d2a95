#pragma once

#include "VCard.h"

#include <QVariant>
#include <optional>
#include <vector>

namespace contacts {

// The contact properties of the object model over one vCard. Each property
// lives in the first vCard property of its kind; the others stay untouched.
class ContactCard
{
public:
    explicit ContactCard(VCard card = {});

    static bool isField(const QString& name);
    static QStringList fieldNames();
    // The position of a contact property in fieldNames(), or -1.
    static int fieldNumber(const QString& name);

    // Raise 438 for a name that is no contact property.
    QVariant get(const QString& name) const;
    // The property at a position of fieldNames().
    QVariant get(int field) const;
    // True when the card changed; raises 13 for a value of the wrong type.
    bool set(const QString& name, const QVariant& value);

    QString uid() const;
    // Gives the card the UID and formatted name that vCard 4.0 requires.
    void prepareForSave(const QString& newUid);
    const VCard& card() const { return m_card; }

private:
    VCard m_card;
    // Where each property lives in m_card; empty until first needed.
    mutable std::vector<qsizetype> m_slots;
    // The name composed from the current names, once worked out.
    std::optional<QString> m_composedName;
};

} // namespace contacts
