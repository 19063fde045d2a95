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

QString clause(const char* opening, const QString& value)
{
    return QLatin1String(opening) + quoted(value) + QLatin1Char(')');
}

bool isPerson(const TarvoCards::CCard& card)
{
    return card.IsIndividual == QLatin1String("Y");
}

} // namespace

QString matchingKey(const TarvoCards::CCard& card)
{
    return firstCharacters(card.LastName, 3) + firstCharacters(card.FirstName, 1) +
           QStringLiteral("%1").arg(card.CardRecordID % 1000, 3, 10, QLatin1Char('0'));
}

QString customerIdClause(const TarvoCards::CCard& card)
{
    return clause("([CustomerID] = ", QString::number(card.CardRecordID));
}

QString searchFilter(const TarvoCards::CCard& card)
{
    QStringList clauses;
    if (CardIndex::identifies(card.CardIdentification)) {
        clauses << clause("([User1] = ", card.CardIdentification);
    }
    if (isPerson(card) && !(card.LastName.isEmpty() && card.FirstName.isEmpty())) {
        clauses << QStringLiteral("([LastName] = ") + quoted(card.LastName) +
                       QStringLiteral(" And [FirstName] = ") + quoted(card.FirstName) +
                       QLatin1Char(')');
    } else if (!isPerson(card) && !card.LastName.isEmpty()) {
        clauses << clause("([CompanyName] = ", card.LastName);
    }
    clauses << clause("([User3] = ", matchingKey(card)) << customerIdClause(card);
    return clauses.join(QStringLiteral(" OR "));
}

QStringList searchedProperties()
{
    return {QStringLiteral("User1"),     QStringLiteral("LastName"),
            QStringLiteral("FirstName"), QStringLiteral("CompanyName"),
            QStringLiteral("User3"),     QStringLiteral("CustomerID")};
}

} // namespace brindle
