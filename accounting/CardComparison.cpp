#include "CardRules.h"
#include "CompanyFileSide.h"
#include "cardlib/CardFields.h"
#include "dialogs/FUpdateChoice.h"
#include "dialogs/Notices.h"
#include "startup/ErrorLog.h"
#include "startup/Prompts.h"
#include "transfer/CardIndex.h"
#include "transfer/ContactText.h"

#include <algorithm>
#include <span>
#include <vector>

namespace brindle {

namespace {

using TarvoCards::CAddress;
using TarvoCards::CardField;
using TarvoCards::CCard;
using TarvoCards::Comparison;

constexpr qint32 otherAddressLocation = 2;

// The compared fields of a card or an address, in the order their
// differences are listed.
template <typename Record>
std::vector<CardField<Record>> comparedFields(std::span<const CardField<Record>> fields)
{
    std::vector<CardField<Record>> compared;
    std::ranges::copy_if(fields, std::back_inserter(compared), [](const CardField<Record>& field) {
        return field.comparison != Comparison::NotCompared;
    });
    std::ranges::sort(compared, {}, &CardField<Record>::comparedAt);
    return compared;
}

std::span<const CardField<CCard>> comparedCardFields()
{
    static const std::vector<CardField<CCard>> fields = comparedFields(TarvoCards::cardColumns());
    return fields;
}

std::span<const CardField<CAddress>> comparedAddressFields()
{
    static const std::vector<CardField<CAddress>> fields =
        comparedFields(TarvoCards::addressColumns());
    return fields;
}

QString upperTrimmed(const QString& text)
{
    return text.trimmed().toUpper();
}

const CAddress* partnerOf(const CAddress& address, const CCard& existingCard)
{
    for (const CAddress& candidate : existingCard.Addresses) {
        if (candidate.Location == address.Location) {
            return &candidate;
        }
    }
    return nullptr;
}

// Collects the differences of one comparison.
class DifferenceList
{
public:
    DifferenceList(Differences& differences, bool& blankField)
        : m_differences(differences), m_blankField(blankField)
    {
        m_differences.clear();
    }

    void add(const char* key, const QString& existing, const QString& updated)
    {
        m_differences.append({QString::fromLatin1(key), existing, updated});
        m_blankField = m_blankField || updated.trimmed().isEmpty();
    }
    bool any() const { return !m_differences.isEmpty(); }

private:
    Differences& m_differences;
    bool& m_blankField;
};

QString comparableName(const QString& lastName)
{
    return upperTrimmed(comparableLastName(lastName.trimmed()));
}

QString asItStands(const QString& text)
{
    return text;
}

// The form a rule compares texts in, and whether a text that only differs
// from the stored one in how it is written takes the company file's form.
struct RuleForm
{
    QString (*comparable)(const QString&);
    bool keepsStoredForm = false;
};

RuleForm formOf(Comparison rule)
{
    switch (rule) {
    case Comparison::Text:
        return {upperTrimmed};
    case Comparison::Name:
        return {comparableName, true};
    case Comparison::Phone:
        return {FixPhoneCharacters};
    case Comparison::Web:
        return {comparableWebAddress, true};
    case Comparison::Exact:
    case Comparison::NotCompared:
        break;
    }
    return {asItStands};
}

// Adds the difference the field's rule finds between the two texts.
template <typename Record>
void compareField(DifferenceList& list, const CardField<Record>& field, Record& updated,
                  const Record& existing)
{
    QString& value = updated.*field.member;
    const QString& stored = existing.*field.member;
    if (value == stored) {
        return; // the same text is the same under every rule: most fields of an update
    }
    const RuleForm form = formOf(field.comparison);
    if (form.keepsStoredForm && upperTrimmed(value) == upperTrimmed(stored)) {
        return;
    }
    if (form.comparable(value) != form.comparable(stored)) {
        list.add(field.name, stored, value);
    } else if (form.keepsStoredForm) {
        value = stored;
    }
}

template <typename Record>
void compareFields(DifferenceList& list, std::span<const CardField<Record>> fields, Record& updated,
                   const Record& existing)
{
    for (const CardField<Record>& field : fields) {
        compareField(list, field, updated, existing);
    }
}

void compareAddress(DifferenceList& list, CAddress& updated, const CAddress& existing)
{
    for (const CardField<CAddress>& field : comparedAddressFields()) {
        // A field a contact never fills on address 2 would differ by a blank
        // that the import never writes.
        if (updated.Location != otherAddressLocation ||
            (field.carried & TarvoCards::OnOtherAddress)) {
            compareField(list, field, updated, existing);
        }
    }
}

} // namespace

void keepWhatAnImportReads(CCard& existing)
{
    CCard kept;
    kept.CardRecordID = existing.CardRecordID;
    for (QString CCard::*member :
         {&CCard::CardTypeID, &CCard::Key, &CCard::CardIdentification, &CCard::LastName,
          &CCard::FirstName, &CCard::IsIndividual, &CCard::IsInactive}) {
        kept.*member = std::move(existing.*member);
    }
    kept.Addresses.reserve(existing.Addresses.size());
    for (CAddress& address : existing.Addresses) {
        CAddress& keptAddress = kept.Addresses.Add();
        keptAddress.Location = address.Location;
        for (const CardField<CAddress>& field : comparedAddressFields()) {
            keptAddress.*field.member = std::move(address.*field.member);
        }
    }
    existing = std::move(kept);
}

QString comparableWebAddress(const QString& address)
{
    QString text = address.trimmed();
    for (const QLatin1String scheme : {QLatin1String("http://"), QLatin1String("https://")}) {
        if (text.startsWith(scheme, Qt::CaseInsensitive)) {
            text = text.mid(scheme.size()).trimmed();
            break;
        }
    }
    return text.toUpper();
}

bool CompanyFileSide::AreDifferentVEXOCards(CCard& newCard, const CCard& existingCard,
                                            Differences& differences, bool& blankField)
{
    DifferenceList list(differences, blankField);
    try {
        // The card fields listed before the addresses' and those after them.
        const std::span<const CardField<CCard>> cardFields = comparedCardFields();
        const int addressesAt = comparedAddressFields().front().comparedAt;
        const auto afterAddresses =
            std::ranges::partition_point(cardFields, [addressesAt](const CardField<CCard>& field) {
                return field.comparedAt < addressesAt;
            });
        compareFields(list, {cardFields.begin(), afterAddresses}, newCard, existingCard);
        for (CAddress& address : newCard.Addresses) {
            const CAddress* partner =
                address.Location < 3 ? partnerOf(address, existingCard) : nullptr;
            if (partner) {
                compareAddress(list, address, *partner);
            }
        }
        compareFields(list, {afterAddresses, cardFields.end()}, newCard, existingCard);
    } catch (const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.AreDifferentVEXOCards"), error);
    }
    return list.any();
}

bool CompanyFileSide::CheckForDuplicate(qint32 mode, const CCard& card)
{
    try {
        if (mode == 1) {
            const CardIndex& index = existingIndex();
            return index.recordId(card.CardRecordID) != CardIndex::none ||
                   index.individualName(card) != CardIndex::none ||
                   (card.FirstName.isEmpty() && index.companyName(card) != CardIndex::none);
        }
        const CardIndex& index = contactCardIndex();
        return index.recordId(card.CardRecordID) != CardIndex::none ||
               index.nameOfAnyType(card) != CardIndex::none;
    } catch (const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.CheckForDuplicate"), error);
        return false;
    }
}

bool CompanyFileSide::CheckForInactive(const CCard& card)
{
    try {
        CardIndex& index = existingIndex();
        const qsizetype match =
            CardIndex::first(index.recordId(card.CardRecordID), index.name(card));
        return match != CardIndex::none &&
               index.at(match).IsInactive.toUpper() == QLatin1String("Y");
    } catch (const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.CheckForInactive"), error);
        return false;
    }
}

bool CompanyFileSide::CheckCardSkip(CCard& card)
{
    bool skip = false;
    try {
        // A position, not the index: the match may build the index anew.
        const qsizetype match = existingMatch(card);
        if (match == CardIndex::none) {
            card.TransferMessage = newCard;
            if (m_run.mlRulesFilter == RunSettings::AskToConfirm) {
                skip =
                    actOnChoice(m_run.ConfirmUpdate(card, nullptr, {}, RunSettings::Import, true));
            }
            return skip;
        }
        const CCard& existing = existingIndex().at(match);
        if (m_run.mlRulesFilter == RunSettings::KeepExisting) {
            card.TransferMessage = duplicateCard;
            return true;
        }
        Differences differences;
        bool blankField = false;
        if (AreDifferentVEXOCards(card, existing, differences, blankField)) {
            card.TransferMessage = changedCard;
            if (blankField && !m_run.mbBlankFieldNoticeShown) {
                m_run.mbBlankFieldNoticeShown = true;
                FVEXOEmptyMsg notice(m_context);
                notice.Form_Load();
                m_prompts.showNotice(notice);
            }
            if (m_run.mlRulesFilter == RunSettings::AskToConfirm) {
                skip = actOnChoice(
                    m_run.ConfirmUpdate(card, nullptr, differences, RunSettings::Import, false));
            }
        }
        // The card the user saw is the one written, whatever the library would match.
        card.CardRecordID = existing.CardRecordID;
    } catch (const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.CheckCardSkip"), error);
    }
    return skip;
}

qsizetype CompanyFileSide::existingMatch(const CCard& card)
{
    const CardIndex& index = existingIndex();
    if (card.CardRecordID >= 1) {
        return index.recordId(card.CardRecordID);
    }
    qsizetype match = index.identification(card);
    if (card.isPerson()) {
        match = CardIndex::first(match, index.name(card));
    } else if (card.IsIndividual == QLatin1String("N")) {
        match = CardIndex::first(match, index.lastName(card));
    }
    return match;
}

bool CompanyFileSide::actOnChoice(qint32 choice)
{
    switch (choice) {
    case FUpdateChoice::Update:
        return false;
    case FUpdateChoice::UpdateAll:
        m_run.mlRulesFilter = RunSettings::UpdateExisting;
        return false;
    case FUpdateChoice::CancelRun:
        m_run.mbUserCancelled = true;
        m_run.m_cancelAnswered = true;
        return true;
    case FUpdateChoice::NoAnswer:
        m_run.mbApplicationCancelled = true;
        return true;
    default:
        return true;
    }
}

CardIndex& CompanyFileSide::existingIndex()
{
    return indexOf(m_existingIndex, mobjExistingCards.get());
}

CardIndex& CompanyFileSide::contactCardIndex()
{
    return indexOf(m_contactCardIndex, m_run.mobjOutlookColl.get());
}

CardIndex& CompanyFileSide::indexOf(std::unique_ptr<CardIndex>& index,
                                    TarvoCards::CCardsColl* cards)
{
    if (!cards) {
        throw PlatformError(91, QStringLiteral("Object variable not set"));
    }
    if (!index || !index->describes(*cards)) {
        index = std::make_unique<CardIndex>(*cards);
    }
    return *index;
}

} // namespace brindle
