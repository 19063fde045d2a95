#include "ContactSearch.h"

#include "startup/TextHelpers.h"
#include "transfer/CardIndex.h"

#include <QStringList>

namespace brindle {

namespace {

// A value between apostrophes, each apostrophe in it doubled.
QString quoted(const QString& value)
{
    return QLatin1Char('\'') + QString(value).replace(QLatin1Char('\''), QLatin1String("''")) +
           QLatin1Char('\'');
}

// The properties a search names: the filters write them, and the walk of
// the contacts indexes them so that the export's searches follow it.
enum class Searched
{
    User1,
    LastName,
    FirstName,
    CompanyName,
    User3,
    CustomerID
};
constexpr const char* searchedNames[] = {"User1",       "LastName", "FirstName",
                                         "CompanyName", "User3",    "CustomerID"};

QString equals(Searched property, const QString& value)
{
    return QLatin1Char('[') + QLatin1String(searchedNames[int(property)]) + QStringLiteral("] = ") +
           quoted(value);
}

QString clause(Searched property, const QString& value)
{
    return QLatin1Char('(') + equals(property, value) + QLatin1Char(')');
}

} // namespace

QString matchingKey(const TarvoCards::CCard& card)
{
    return firstCharacters(card.LastName, 3) + firstCharacters(card.FirstName, 1) +
           QStringLiteral("%1").arg(card.CardRecordID % 1000, 3, 10, QLatin1Char('0'));
}

QString customerIdClause(const TarvoCards::CCard& card)
{
    return clause(Searched::CustomerID, QString::number(card.CardRecordID));
}

QString searchFilter(const TarvoCards::CCard& card)
{
    QStringList clauses;
    if (CardIndex::identifies(card.CardIdentification)) {
        clauses << clause(Searched::User1, card.CardIdentification);
    }
    if (card.isPerson() && !(card.LastName.isEmpty() && card.FirstName.isEmpty())) {
        clauses << QLatin1Char('(') + equals(Searched::LastName, card.LastName) +
                       QStringLiteral(" And ") + equals(Searched::FirstName, card.FirstName) +
                       QLatin1Char(')');
    } else if (!card.isPerson() && !card.LastName.isEmpty()) {
        clauses << clause(Searched::CompanyName, card.LastName);
    }
    clauses << clause(Searched::User3, matchingKey(card)) << customerIdClause(card);
    return clauses.join(QStringLiteral(" OR "));
}

QStringList searchedProperties()
{
    QStringList names;
    for (const char* name : searchedNames) {
        names << QLatin1String(name);
    }
    return names;
}

} // namespace brindle
