#pragma once

#include "cardlib/Collections.h"

#include <QHash>
#include <optional>
#include <vector>

namespace brindle {

// The last name as the identity checks compare it: a name ending in ", The"
// is the same name as "The" in front ("Smith, The" is "The Smith").
QString comparableLastName(const QString& lastName);

// Where the identity checks find a card's first match among a collection of
// cards: for each identity, the position of the first card of the collection,
// in its order, that has it. Built once, so a run asks in constant time what
// a walk of the collection would answer. Names compare exactly, apart from
// the ", The" form of the last name; types compare by card type, so "S" and
// "V" are one.
class CardIndex
{
public:
    static constexpr qsizetype none = -1;

    explicit CardIndex(TarvoCards::CCardsColl& cards);

    // True while the index still describes the collection.
    bool describes(const TarvoCards::CCardsColl& cards) const;

    qsizetype recordId(qint32 cardRecordId) const;
    // A card of the same type with the same identification; an identification
    // that is blank or "*None" (any case) matches nothing.
    qsizetype identification(const TarvoCards::CCard& card) const;
    // A card of the same type with the same last and first names.
    qsizetype name(const TarvoCards::CCard& card) const;
    // The same, among individual cards (IsIndividual "Y") only.
    qsizetype individualName(const TarvoCards::CCard& card) const;
    // A card of the same type with the same last name.
    qsizetype lastName(const TarvoCards::CCard& card) const;
    // The same, among cards that are not individuals.
    qsizetype companyName(const TarvoCards::CCard& card) const;
    // A card of any type with the same last and first names.
    qsizetype nameOfAnyType(const TarvoCards::CCard& card) const;

    TarvoCards::CCard& at(qsizetype position) { return *m_cards[size_t(position)]; }

    // True when an identification can identify a card.
    static bool identifies(const QString& cardIdentification);
    // The earlier of two positions, either of which may be none.
    static qsizetype first(qsizetype a, qsizetype b);

private:
    using TypeName = std::pair<int, QString>;
    using TypeFullName = std::pair<TypeName, QString>;
    // The first position among all cards and among those of one kind.
    struct Firsts
    {
        qsizetype any = none;
        qsizetype ofKind = none;
    };

    static int typeOf(const TarvoCards::CCard& card);
    static TypeName typeName(const TarvoCards::CCard& card);
    static TypeFullName typeFullName(const TarvoCards::CCard& card);
    template <typename Key>
    static void note(QHash<Key, qsizetype>& index, const Key& key, qsizetype position);
    static void note(Firsts& firsts, bool ofKind, qsizetype position);
    void add(const TarvoCards::CCard& card, qsizetype position);

    const TarvoCards::CCardsColl* m_source;
    std::vector<TarvoCards::CCard*> m_cards;
    QHash<qint32, qsizetype> m_recordIds;
    QHash<TypeName, qsizetype> m_identifications;
    QHash<TypeFullName, Firsts> m_names; // ofKind: individuals
    QHash<TypeName, Firsts> m_lastNames; // ofKind: not individuals
    // Only the contact cards' duplicate check asks this: built on first use.
    mutable std::optional<QHash<std::pair<QString, QString>, qsizetype>> m_namesOfAnyType;
};

} // namespace brindle
