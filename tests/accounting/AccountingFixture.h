#pragma once

#include "ProgramFixture.h"
#include "QtPrinters.h"
#include "ScriptedProgress.h"
#include "review/FSummary.h"
#include "run/FProcess.h"

namespace brindle::test {

// The run with its company-file state open to the tests.
class OpenProcess : public FProcess
{
public:
    using FProcess::FProcess;
    using FProcess::keepDeliveries;
    using FProcess::mbBlankFieldNoticeShown;
    using FProcess::mbCustomers;
    using FProcess::mbEmployees;
    using FProcess::mbPersonal;
    using FProcess::mbSuppliers;
    using FProcess::mbUserCancelled;
    using FProcess::mcolTransfer;
    using FProcess::mlRulesFilter;
    using FProcess::mlTotalCards;
    using FProcess::mobjExistingCards;
    using FProcess::mobjOutlookColl;
    using FProcess::mobjVEXOConnection;
    using FProcess::msEmptyValue;
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

class AccountingFixture : public ProgramFixture
{
protected:
    // Existing cards in the given order, as if loaded.
    void existing(const QList<TarvoCards::CCard>& cards)
    {
        process.mobjExistingCards = std::make_unique<TarvoCards::CCardsColl>();
        for (const TarvoCards::CCard& made : cards) {
            process.mobjExistingCards->AddNew() = made;
        }
    }

    ScriptedProgress progress;
    FSummary summary;
    OpenProcess process{prompts, progress, summary};
};

} // namespace brindle::test
