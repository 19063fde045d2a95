#pragma once

#include "ProgramFixture.h"
#include "QtPrinters.h"
#include "ScriptedProgress.h"
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
    made.CardTypeID = type;
    made.LastName = last;
    made.FirstName = first;
    made.CardIdentification = identification;
    made.CardRecordID = recordId;
    made.IsIndividual = first.isEmpty() ? QStringLiteral("N") : QStringLiteral("Y");
    return made;
}

// A member of a card by name: "LastName", or "2.City" for the second address.
inline QVariant member(const TarvoCards::CCard& card, const QString& name)
{
    const QStringList parts = name.split(u'.');
    if (parts.size() == 1) {
        const QMetaObject& meta = TarvoCards::CCard::staticMetaObject;
        return meta.property(meta.indexOfProperty(qPrintable(name))).readOnGadget(&card);
    }
    const QMetaObject& meta = TarvoCards::CAddress::staticMetaObject;
    return meta.property(meta.indexOfProperty(qPrintable(parts[1])))
        .readOnGadget(&card.Addresses[parts[0].toInt() - 1]);
}
// Sets a member by name, as member() reads it; "-2" removes the second address.
inline void setMember(TarvoCards::CCard& card, const QString& name, const QString& value)
{
    const QStringList parts = name.split(u'.');
    if (parts[0].startsWith(u'-')) {
        card.Addresses.removeAt(-parts[0].toInt() - 1);
    } else if (parts.size() == 1) {
        const QMetaObject& meta = TarvoCards::CCard::staticMetaObject;
        meta.property(meta.indexOfProperty(qPrintable(name))).writeOnGadget(&card, value);
    } else {
        const QMetaObject& meta = TarvoCards::CAddress::staticMetaObject;
        meta.property(meta.indexOfProperty(qPrintable(parts[1])))
            .writeOnGadget(&card.Addresses[parts[0].toInt() - 1], value);
    }
}
inline void setMembers(TarvoCards::CCard& card,
                       const QList<std::pair<const char*, const char*>>& values)
{
    for (const auto& [name, value] : values) {
        setMember(card, QString::fromLatin1(name), QString::fromUtf8(value));
    }
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
