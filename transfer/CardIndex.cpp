#include "CardIndex.h"

#include "startup/CardType.h"

namespace brindle {

using TarvoCards::CCard;

QString comparableLastName(const QString& lastName)
{
    const QString trimmed = lastName.trimmed();
    if (!trimmed.endsWith(QLatin1String(", The"), Qt::CaseInsensitive)) {
        return lastName;
    }
    return QLatin1String("The ") + trimmed.left(trimmed.lastIndexOf(QLatin1Char(',')));
}

CardIndex::CardIndex(TarvoCards::CCardsColl& cards) : m_source(&cards)
{
    m_cards.reserve(size_t(cards.Count()));
    for (CCard& card : cards) {
        add(card, qsizetype(m_cards.size()));
        m_cards.push_back(&card);
    }
}

bool CardIndex::describes(const TarvoCards::CCardsColl& cards) const
{
    return m_source == &cards && qsizetype(m_cards.size()) == cards.Count();
}

void CardIndex::add(const CCard& card, qsizetype position)
{
    note(m_recordIds, card.CardRecordID, position);
    if (identifies(card.CardIdentification)) {
        note(m_identifications, TypeName{typeOf(card), card.CardIdentification}, position);
    }
    const bool individual = card.IsIndividual == QLatin1String("Y");
    note(m_names[typeFullName(card)], individual, position);
    note(m_lastNames[typeName(card)], !individual, position);
}

template <typename Key>
void CardIndex::note(QHash<Key, qsizetype>& index, const Key& key, qsizetype position)
{
    if (!index.contains(key)) { // a later card never hides the first
        index.insert(key, position);
    }
}

void CardIndex::note(Firsts& firsts, bool ofKind, qsizetype position)
{
    if (firsts.any == none) {
        firsts.any = position;
    }
    if (ofKind && firsts.ofKind == none) {
        firsts.ofKind = position;
    }
}

qsizetype CardIndex::recordId(qint32 cardRecordId) const
{
    return m_recordIds.value(cardRecordId, none);
}

qsizetype CardIndex::identification(const CCard& card) const
{
    if (!identifies(card.CardIdentification)) {
        return none;
    }
    return m_identifications.value({typeOf(card), card.CardIdentification}, none);
}

qsizetype CardIndex::name(const CCard& card) const
{
    return m_names.value(typeFullName(card)).any;
}

qsizetype CardIndex::individualName(const CCard& card) const
{
    return m_names.value(typeFullName(card)).ofKind;
}

qsizetype CardIndex::lastName(const CCard& card) const
{
    return m_lastNames.value(typeName(card)).any;
}

qsizetype CardIndex::companyName(const CCard& card) const
{
    return m_lastNames.value(typeName(card)).ofKind;
}

qsizetype CardIndex::nameOfAnyType(const CCard& card) const
{
    if (!m_namesOfAnyType) {
        m_namesOfAnyType.emplace();
        for (size_t position = 0; position < m_cards.size(); ++position) {
            const CCard& indexed = *m_cards[position];
            note(*m_namesOfAnyType, {comparableLastName(indexed.LastName), indexed.FirstName},
                 qsizetype(position));
        }
    }
    return m_namesOfAnyType->value({comparableLastName(card.LastName), card.FirstName}, none);
}

bool CardIndex::identifies(const QString& cardIdentification)
{
    const QString trimmed = cardIdentification.trimmed();
    return !trimmed.isEmpty() && trimmed.toUpper() != QLatin1String("*NONE");
}

qsizetype CardIndex::first(qsizetype a, qsizetype b)
{
    if (a == none) {
        return b;
    }
    return b == none ? a : qMin(a, b);
}

int CardIndex::typeOf(const CCard& card)
{
    const std::optional<CardType> type = CardType::fromLetter(card.CardTypeID);
    return type ? int(type->id()) : -1;
}

CardIndex::TypeName CardIndex::typeName(const CCard& card)
{
    return {typeOf(card), comparableLastName(card.LastName)};
}

CardIndex::TypeFullName CardIndex::typeFullName(const CCard& card)
{
    return {typeName(card), card.FirstName};
}

} // namespace brindle
