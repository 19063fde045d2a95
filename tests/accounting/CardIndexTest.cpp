#include "transfer/CardIndex.h"

#include "startup/CardType.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace brindle {
namespace {

using TarvoCards::CCard;

// The walks the index stands in for: the first card in loaded order.
using Matches = std::function<bool(const CCard& existing, const CCard& probe)>;

qsizetype scan(const TarvoCards::CCardsColl& cards, const CCard& probe, const Matches& matches)
{
    const auto at = std::find_if(cards.begin(), cards.end(),
                                 [&](const CCard& existing) { return matches(existing, probe); });
    return at == cards.end() ? CardIndex::none : std::distance(cards.begin(), at);
}

bool sameType(const CCard& a, const CCard& b)
{
    return CardType::fromLetter(a.CardTypeID) == CardType::fromLetter(b.CardTypeID);
}

bool sameLast(const CCard& a, const CCard& b)
{
    return comparableLastName(a.LastName) == comparableLastName(b.LastName);
}

bool sameName(const CCard& a, const CCard& b)
{
    return sameLast(a, b) && a.FirstName == b.FirstName;
}

template <typename T> const T& any(QRandomGenerator& random, const QList<T>& pool)
{
    return pool[random.bounded(int(pool.size()))];
}

CCard randomCard(QRandomGenerator& random)
{
    static const QStringList types{"C", "S", "V", "E", "P", "c"};
    static const QStringList lasts{"Smith", "Smith, The", "The Smith", "Ng", "", "smith"};
    static const QStringList firsts{"", "Jo", "Al", "jo"};
    static const QStringList identifications{"", "  ", "*none", "*NONE", "ID1", "ID2", "id1"};
    CCard card;
    std::tie(card.CardTypeID, card.LastName, card.FirstName, card.CardIdentification) = std::tuple(
        any(random, types), any(random, lasts), any(random, firsts), any(random, identifications));
    card.IsIndividual = random.bounded(2) ? "Y" : "N";
    card.CardRecordID = qint32(random.bounded(60));
    return card;
}

TEST(CardIndex, GivesTheFirstMatchAWalkWouldGive)
{
    QRandomGenerator random(7);
    TarvoCards::CCardsColl cards;
    for (int i = 0; i < 400; ++i) {
        cards.AddNew() = randomCard(random);
    }
    CardIndex index(cards);
    ASSERT_TRUE(index.describes(cards));

    struct Lookup
    {
        const char* name;
        qsizetype (CardIndex::*find)(const CCard&) const;
        Matches matches;
    };
    const Lookup lookups[] = {
        {"identification", &CardIndex::identification,
         [](const CCard& e, const CCard& p) {
             const QString id = p.CardIdentification.trimmed().toUpper();
             return sameType(e, p) && e.CardIdentification == p.CardIdentification &&
                    !id.isEmpty() && id != u"*NONE";
         }},
        {"name", &CardIndex::name,
         [](const CCard& e, const CCard& p) { return sameType(e, p) && sameName(e, p); }},
        {"individual name", &CardIndex::individualName,
         [](const CCard& e, const CCard& p) {
             return sameType(e, p) && sameName(e, p) && e.IsIndividual == u"Y";
         }},
        {"last name", &CardIndex::lastName,
         [](const CCard& e, const CCard& p) { return sameType(e, p) && sameLast(e, p); }},
        {"company name", &CardIndex::companyName,
         [](const CCard& e, const CCard& p) {
             return sameType(e, p) && sameLast(e, p) && e.IsIndividual != u"Y";
         }},
        {"name of any type", &CardIndex::nameOfAnyType,
         [](const CCard& e, const CCard& p) { return sameName(e, p); }},
    };
    int found = 0;
    for (int i = 0; i < 400; ++i) {
        const CCard probe = randomCard(random);
        for (const Lookup& lookup : lookups) {
            const qsizetype expected = scan(cards, probe, lookup.matches);
            ASSERT_EQ((index.*lookup.find)(probe), expected)
                << lookup.name << " of " << qPrintable(probe.CardTypeID) << " '"
                << qPrintable(probe.LastName) << "' '" << qPrintable(probe.FirstName) << "' '"
                << qPrintable(probe.CardIdentification) << "'";
            found += expected != CardIndex::none;
        }
        ASSERT_EQ(index.recordId(probe.CardRecordID),
                  scan(cards, probe, [](const CCard& e, const CCard& p) {
                      return e.CardRecordID == p.CardRecordID;
                  }));
    }
    EXPECT_GT(found, 1000) << "the data must make the look-ups find cards";
    cards.AddNew();
    EXPECT_FALSE(index.describes(cards));
}

} // namespace
} // namespace brindle
