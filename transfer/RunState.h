#pragma once

#include "cardlib/Collections.h"
#include "review/Differences.h"
#include "startup/RunProgress.h"
#include "startup/RunSettings.h"

#include <QList>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

namespace contacts {
class ContactItem;
}

namespace brindle {

class FSummary;
class ProgramContext;
class Prompts;
class RunRecord;

// What the driver and both sides of one run share: the ports, the
// settings, what the run decided and counted, and the cards that pass from
// one side to the other. The driver owns it and hands it to each side.
struct RunState
{
    RunState(ProgramContext& context, RunSettings& settings, RunProgress& progress,
             FSummary& summary);

    ProgramContext& context;
    // The run's settings: the program's, or a copy of its own.
    RunSettings& settings;
    Prompts& prompts;
    RunProgress& progress;
    FSummary& summary;
    // What this run changes, for brindle-cli undo; the driver owns it.
    RunRecord* record = nullptr;

    bool mbUserCancelled = false;
    bool mbApplicationCancelled = false;
    // Cancel answered in the confirmation dialog: what was confirmed is written.
    bool m_cancelAnswered = false;
    qint32 mlRulesFilter = 0;
    bool mbCustomers = false;
    bool mbSuppliers = false;
    bool mbPersonal = false;
    bool mbEmployees = false;
    qint32 mlTotalCards = 0;
    qint32 mlAddedCards = 0;
    qint32 mlUpdatedCards = 0;
    QList<TarvoCards::CCard> mcolRejected;
    bool mbBlankFieldNoticeShown = false;

    // The cards made from contacts: the contact side fills it, the
    // company-file side imports from it. In an import the loading drops
    // addresses 3 to 5 (the mapping leaves them empty) and the merge lets
    // the collection go: nothing reads it later.
    std::unique_ptr<TarvoCards::CCardsColl> mobjOutlookColl;
    // Both directions: the cards to transfer, and how many. A deque: the
    // import gives back each card's room as it takes the card.
    std::deque<TarvoCards::CCard> mcolTransfer;
    qint32 mlTransferCount = 0;

    // Lets the window serve its events; clicks on it reach the controls.
    void DoEvents();
    void AdvanceProgress(double dStep);
    // prgProgress, held at 100.
    void setProgressValue(double value);
    double progressValue() const { return m_progressValue; }
    // Both merges: hands each card of a type the run selects to refusal. A
    // card whose refusal is empty joins the transfer list, one with a
    // refusal the rejected list, with it as its message; a card of a type
    // not selected, or with no refusal at all, counts as skipped. Each card
    // advances the bar; false once the user cancelled.
    using Refusal = std::function<std::optional<QString>(const TarvoCards::CCard& card)>;
    bool mergeEach(const TarvoCards::CCardsColl& cards, const Refusal& refusal);

    // Shows the confirmation until it is answered and returns the answer.
    // An import heads it with the card (replaced by the dialog's copy), an
    // export with the contact.
    qint32 ConfirmUpdate(TarvoCards::CCard& card,
                         const std::shared_ptr<contacts::ContactItem>& contact,
                         const Differences& differences, qint32 transferAction, bool newCard);

private:
    double m_progressValue = 0;
};

// What a side reaches of the run: the shared state and, under the names
// the procedures use, its ports and settings.
class RunSide
{
protected:
    explicit RunSide(RunState& run);

    RunState& m_run;
    ProgramContext& m_context;
    RunSettings& m_settings;
    Prompts& m_prompts;
    RunProgress& m_progress;
    FSummary& m_summary;
};

// How the contact side has a contact made into a card, and asks whether a
// card is among the cards made from contacts, without knowing the
// company-file side that does both.
using ContactToCard =
    std::function<bool(contacts::ContactItem& pobjContact, TarvoCards::CCard& pobjVEXOCard,
                       const QString& psCardTypeID, bool withDetails)>;
using CardCheck = std::function<bool(const TarvoCards::CCard& card)>;

} // namespace brindle
