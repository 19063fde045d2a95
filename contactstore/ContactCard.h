#pragma once

#include "CardSlots.h"

#include <QVariant>
#include <optional>

namespace contacts {

// The contact properties of the object model over one vCard, in the form of
// the card's version. Each property lives in the first vCard property of its
// kind; the others stay untouched.
class ContactCard
{
public:
    explicit ContactCard(VCard card = {});

    static QStringList fieldNames();

    // Raise 438 for a name that is no contact property.
    QVariant get(const QString& name) const;
    // The property at a position of fieldNames().
    QVariant get(int field) const;
    // True when the card changed; raises 13 for a value of the wrong type.
    bool set(const QString& name, const QVariant& value);

    QString uid() const;
    // Gives the card the UID and formatted name that it requires.
    void prepareForSave(const QString& newUid);
    const VCard& card() const { return m_card; }

private:
    QString readText(int field) const;
    QVariant readField(int field) const;
    bool holdsText(int field, const QString& text) const;
    QStringView valueOf(int field) const;
    QString displayName() const;

    bool writeField(int field, const QVariant& value);
    bool writeText(int field, const QString& value);
    void setValue(int field, const QString& escaped);
    void setComponent(int field, const QString& escaped);
    void setCategories(const QStringList& items);
    void setMailingAddress(int selected);
    void unprefer(qsizetype index);
    void prefer(int field);

    VCard m_card;
    CardSlots m_slots;
    // The name composed from the current names, once worked out.
    std::optional<QString> m_composedName;
};

} // namespace contacts
