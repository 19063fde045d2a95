#include "CardIndex.h"
#include "CardRules.h"
#include "outlook/ContactText.h"
#include "review/FUpdateChoice.h"
#include "run/FProcess.h"
#include "screens/Notices.h"
#include "startup/ErrorLog.h"
#include "startup/Prompts.h"

namespace brindle {

namespace {

using TarvoCards::CAddress;
using TarvoCards::CCard;

constexpr qint32 updateAll = 0;
constexpr qint32 doNotUpdate = 2;
constexpr qint32 askFirst = 3;

enum class Rule
{
    Text,  // upper-cased and trimmed
    Phone, // after the phone clean-up, exactly
    Web    // upper-cased and trimmed; a scheme alone is no difference
};

struct AddressField
{
    const char* key;
    QString CAddress::*member;
    Rule rule;
    // A contact fills it in the other address (2) too. A field it never
    // fills would differ by a blank that the import never writes.
    bool inOtherAddress;
};

// The address fields in the order of comparison.
const AddressField addressFields[] = {
    {"Email", &CAddress::Email, Rule::Text, false},
    {"Phone1", &CAddress::Phone1, Rule::Phone, false},
    {"Phone2", &CAddress::Phone2, Rule::Phone, false},
    {"Phone3", &CAddress::Phone3, Rule::Phone, false},
    {"Fax", &CAddress::Fax, Rule::Phone, false},
    {"WWW", &CAddress::WWW, Rule::Web, false},
    {"StreetLine1", &CAddress::StreetLine1, Rule::Text, true},
    {"StreetLine2", &CAddress::StreetLine2, Rule::Text, true},
    {"StreetLine3", &CAddress::StreetLine3, Rule::Text, true},
    {"StreetLine4", &CAddress::StreetLine4, Rule::Text, true},
    {"City", &CAddress::City, Rule::Text, true},
    {"State", &CAddress::State, Rule::Text, true},
    {"Postcode", &CAddress::Postcode, Rule::Text, true},
    {"Country", &CAddress::Country, Rule::Text, true},
};

constexpr qint32 otherAddress = 2;

QString upperTrimmed(const QString& text)
{
    return text.trimmed().toUpper();
}

// Upper-cased and trimmed, the texts differ; the same text is never worked out.
bool differAsText(const QString& updated, const QString& existing)
{
    return updated != existing && upperTrimmed(updated) != upperTrimmed(existing);
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

// A form that only differs in how it is written takes the company file's form.
void compareKeepingForm(DifferenceList& list, const char* key, QString& updated,
                        const QString& existing, QString (*comparable)(const QString&))
{
    if (!differAsText(updated, existing)) {
        return;
    }
    if (comparable(updated) == comparable(existing)) {
        updated = existing;
    } else {
        list.add(key, existing, updated);
    }
}

QString comparableName(const QString& lastName)
{
    return upperTrimmed(comparableLastName(lastName.trimmed()));
}

void compareAddress(DifferenceList& list, CAddress& updated, const CAddress& existing)
{
    for (const AddressField& field : addressFields) {
        if (updated.Location == otherAddress && !field.inOtherAddress) {
            continue;
        }
        QString& value = updated.*field.member;
        const QString& stored = existing.*field.member;
        if (value == stored) {
            continue; // the same text is the same under every rule: most fields of an update
        }
        switch (field.rule) {
        case Rule::Text:
            if (upperTrimmed(value) != upperTrimmed(stored)) {
                list.add(field.key, stored, value);
            }
            break;
        case Rule::Phone:
            if (FixPhoneCharacters(value) != FixPhoneCharacters(stored)) {
                list.add(field.key, stored, value);
            }
            break;
        case Rule::Web:
            compareKeepingForm(list, field.key, value, stored, comparableWebAddress);
            break;
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
        for (const AddressField& field : addressFields) {
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

bool FProcess::AreDifferentVEXOCards(CCard& newCard, const CCard& existingCard,
                                     Differences& differences, bool& blankField)
{
    DifferenceList list(differences, blankField);
    try {
        compareKeepingForm(list, "LastName", newCard.LastName, existingCard.LastName,
                           comparableName);
        if (differAsText(newCard.FirstName, existingCard.FirstName)) {
            list.add("FirstName", existingCard.FirstName, newCard.FirstName);
        }
        if (differAsText(newCard.CardIdentification, existingCard.CardIdentification)) {
            list.add("CardIdentification", existingCard.CardIdentification,
                     newCard.CardIdentification);
        }
        for (CAddress& address : newCard.Addresses) {
            const CAddress* partner =
                address.Location < 3 ? partnerOf(address, existingCard) : nullptr;
            if (partner) {
                compareAddress(list, address, *partner);
            }
        }
        if (newCard.IsIndividual != existingCard.IsIndividual) {
            list.add("IsIndividual", existingCard.IsIndividual, newCard.IsIndividual);
        }
    } catch (const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.AreDifferentVEXOCards"), error);
    }
    return list.any();
}

bool FProcess::CheckForDuplicate(qint32 mode, const CCard& card)
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

bool FProcess::CheckForInactive(const CCard& card)
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

bool FProcess::CheckCardSkip(CCard& card)
{
    bool skip = false;
    try {
        CardIndex& index = existingIndex();
        const qsizetype match = existingMatch(card);
        if (match == CardIndex::none) {
            card.TransferMessage = newCard;
            if (mlRulesFilter == askFirst) {
                skip = actOnChoice(ConfirmUpdate(card, nullptr, {}, 1, true));
            }
            return skip;
        }
        const CCard& existing = index.at(match);
        if (mlRulesFilter == doNotUpdate) {
            card.TransferMessage = duplicateCard;
            return true;
        }
        Differences differences;
        bool blankField = false;
        if (AreDifferentVEXOCards(card, existing, differences, blankField)) {
            card.TransferMessage = changedCard;
            if (blankField && !mbBlankFieldNoticeShown) {
                mbBlankFieldNoticeShown = true;
                FVEXOEmptyMsg notice(m_context);
                notice.Form_Load();
                m_prompts.showNotice(notice);
            }
            if (mlRulesFilter == askFirst) {
                skip = actOnChoice(ConfirmUpdate(card, nullptr, differences, 1, false));
            }
        }
        // The card the user saw is the one written, whatever the library would match.
        card.CardRecordID = existing.CardRecordID;
    } catch (const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.CheckCardSkip"), error);
    }
    return skip;
}

qsizetype FProcess::existingMatch(const CCard& card)
{
    const CardIndex& index = existingIndex();
    if (card.CardRecordID >= 1) {
        return index.recordId(card.CardRecordID);
    }
    qsizetype match = index.identification(card);
    if (card.IsIndividual == QLatin1String("Y")) {
        match = CardIndex::first(match, index.name(card));
    } else if (card.IsIndividual == QLatin1String("N")) {
        match = CardIndex::first(match, index.lastName(card));
    }
    return match;
}

bool FProcess::actOnChoice(qint32 choice)
{
    switch (choice) {
    case FUpdateChoice::Update:
        return false;
    case FUpdateChoice::UpdateAll:
        mlRulesFilter = updateAll;
        return false;
    case FUpdateChoice::CancelRun:
        mbUserCancelled = true;
        m_cancelAnswered = true;
        return true;
    case FUpdateChoice::NoAnswer:
        mbApplicationCancelled = true;
        return true;
    default:
        return true;
    }
}

CardIndex& FProcess::existingIndex()
{
    return indexOf(m_existingIndex, mobjExistingCards.get());
}

CardIndex& FProcess::contactCardIndex()
{
    return indexOf(m_contactCardIndex, mobjOutlookColl.get());
}

CardIndex& FProcess::indexOf(std::unique_ptr<CardIndex>& index, TarvoCards::CCardsColl* cards)
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
