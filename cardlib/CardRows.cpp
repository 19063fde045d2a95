#include "CardRows.h"

#include <QVariant>

namespace TarvoCards {

namespace {

// Beyond this many distinct values a column's values hardly repeat: the
// reader stops keeping new ones, so its set stays small.
constexpr qsizetype maxKeptValues = 1 << 16;

} // namespace

void RowReader::readCard(const QSqlQuery& query, CCard& card)
{
    readIdentity(query, card);
    readColumns(query, 2, cardColumns(), card);
}

void RowReader::readDelivery(const QSqlQuery& query, CImportCard& card)
{
    readColumns(query, 2 + int(cardColumns().size()), deliveryColumns(), card);
}

void RowReader::readDeliveryOnly(const QSqlQuery& query, CImportCard& card)
{
    readIdentity(query, card);
    readColumns(query, 2, deliveryColumns(), card);
}

void RowReader::readIdentity(const QSqlQuery& query, CCard& card)
{
    card.CardRecordID = query.value(0).toInt();
    card.CardTypeID = kept(query.value(1).toString());
    card.Key = cardKey(card.CardRecordID);
}

CAddress RowReader::readAddress(const QSqlQuery& query)
{
    CAddress address;
    address.Location = query.value(1).toInt();
    readColumns(query, 2, addressColumns(), address);
    return address;
}

template <typename Record, typename Target>
void RowReader::readColumns(const QSqlQuery& query, int first,
                            std::span<const CardField<Record>> columns, Target& into)
{
    int index = first;
    for (const auto& column : columns) {
        QString value = query.value(index++).toString();
        into.*column.member = column.repeats ? kept(std::move(value)) : std::move(value);
    }
}

QString RowReader::kept(QString value)
{
    if (value.isEmpty()) {
        return value;
    }
    const auto found = m_kept.constFind(value);
    if (found != m_kept.cend()) {
        return *found;
    }
    if (m_kept.size() < maxKeptValues) {
        m_kept.insert(value);
    }
    return value;
}

QVariantList cardValues(const CImportCard& card)
{
    QVariantList values;
    for (const auto& column : cardColumns()) {
        values << card.*column.member;
    }
    for (const auto& column : deliveryColumns()) {
        values << card.*column.member;
    }
    return values;
}

QVariantList addressValues(qint32 cardRecordId, const CAddress& address)
{
    QVariantList values{cardRecordId, address.Location};
    for (const auto& column : addressColumns()) {
        values << address.*column.member;
    }
    return values;
}

void loadDeliveries(QSqlDatabase& db, const CardQuery& what, KeyedCards<CImportCard>& into)
{
    RowReader rows;
    QSqlQuery cards(db);
    prepareOrThrow(cards, what.cardsSql(deliverySelectList()));
    execOrThrow(cards, what.values);
    while (cards.next()) {
        rows.readDeliveryOnly(cards, into.append());
    }
}

QString CardQuery::cardsSql(const QString& columns) const
{
    QString sql = QStringLiteral("SELECT %1 FROM Cards").arg(columns);
    if (!condition.trimmed().isEmpty()) {
        sql += QStringLiteral(" WHERE (%1)").arg(condition);
    }
    sql += QStringLiteral(" ORDER BY %1")
               .arg(order.trimmed().isEmpty() ? QStringLiteral("CardRecordID") : order);
    if (limit > 0) {
        sql += QStringLiteral(" LIMIT %1").arg(limit);
    }
    return sql;
}

QString CardQuery::addressesSql() const
{
    QString sql = QStringLiteral("SELECT %1 FROM Addresses WHERE Location <= %2")
                      .arg(addressSelectList())
                      .arg(lastLocation);
    if (!condition.trimmed().isEmpty() || limit > 0) {
        sql += QStringLiteral(" AND CardRecordID IN (%1)")
                   .arg(cardsSql(QStringLiteral("CardRecordID")));
    }
    return sql + QStringLiteral(" ORDER BY CardRecordID, Location");
}

} // namespace TarvoCards
