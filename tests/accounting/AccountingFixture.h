#pragma once

#include "ProgramFixture.h"
#include "QtPrinters.h"
#include "ScriptedProgress.h"
#include "contactstore/Application.h"
#include "contactstore/Folder.h"
#include "contactstore/Items.h"
#include "dialogs/FSummary.h"
#include "run/FProcess.h"

#include <QMetaProperty>

namespace brindle::test {

// The run with its shared state and both sides open to the tests.
class OpenProcess : public FProcess
{
public:
    using FProcess::FProcess;
    RunState& state = m_run;
    CompanyFileSide& companyFile = m_companyFile;
    ContactSide& contacts() { return *m_contacts; }
    std::unique_ptr<ContactSide>& contactSide = m_contacts;
};

// A card as the tests write them: type, last and first names, and the
// identification; an individual when it has a first name.
inline TarvoCards::CCard card(const QString& type, const QString& last, const QString& first = {},
                              const QString& identification = {}, qint32 recordId = 0)
{
    TarvoCards::CCard made;
    std::tie(made.CardTypeID, made.LastName, made.FirstName, made.CardIdentification,
             made.CardRecordID) = std::tie(type, last, first, identification, recordId);
    made.IsIndividual = first.isEmpty() ? "N" : "Y";
    return made;
}

inline QString streetText(const TarvoCards::CAddress& a)
{
    return QStringList{a.StreetLine1, a.StreetLine2, a.StreetLine3, a.StreetLine4}.join(u'/');
}

// The property a member name names, and the gadget it is on: "LastName", or
// "2.City" for the second address.
inline std::pair<QMetaProperty, void*> memberOf(const TarvoCards::CCard& card, const QString& name)
{
    const QStringList parts = name.split(u'.');
    const bool own = parts.size() == 1;
    const QMetaObject& meta =
        own ? TarvoCards::CCard::staticMetaObject : TarvoCards::CAddress::staticMetaObject;
    const void* gadget =
        own ? static_cast<const void*>(&card) : &card.Addresses[parts[0].toInt() - 1];
    return {meta.property(meta.indexOfProperty(qPrintable(parts.last()))),
            const_cast<void*>(gadget)};
}
inline QVariant member(const TarvoCards::CCard& card, const QString& name)
{
    const auto [property, gadget] = memberOf(card, name);
    return property.readOnGadget(gadget);
}
// Sets a member by name, as member() reads it; "-2" removes the second address.
inline void setMember(TarvoCards::CCard& card, const QString& name, const QString& value)
{
    if (name.startsWith(u'-')) {
        card.Addresses.removeAt(-name.toInt() - 1);
    } else {
        card.Addresses.detach(); // memberOf reads through the shared list
        const auto [property, gadget] = memberOf(card, name);
        property.writeOnGadget(gadget, value);
    }
}
// Sets the members of tablePairs().
inline void setMembers(TarvoCards::CCard& card, const QList<std::pair<QString, QVariant>>& values)
{
    for (const auto& [name, value] : values) {
        setMember(card, name, value.toString());
    }
}

// A new contact of the store's default folder with these properties (tablePairs()).
inline std::shared_ptr<contacts::ContactItem>
contactWith(contacts::Application& app, const QList<std::pair<QString, QVariant>>& properties)
{
    const auto item = app.Session()->GetDefaultFolder(10)->Items().Add();
    for (const auto& [name, value] : properties) {
        item->setProperty(name, value);
    }
    return item;
}

class AccountingFixture : public ProgramFixture
{
protected:
    // Existing cards in the given order, as if loaded.
    void existing(const QList<TarvoCards::CCard>& cards)
    {
        process.companyFile.mobjExistingCards = std::make_unique<TarvoCards::CCardsColl>();
        for (const TarvoCards::CCard& made : cards) {
            process.companyFile.mobjExistingCards->AddNew() = made;
        }
    }

    ScriptedProgress progress;
    FSummary summary{context, settings};
    OpenProcess process{context, settings, progress, summary};
};

} // namespace brindle::test
