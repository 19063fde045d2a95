#include "CardRows.h"

#include <QVariant>

namespace TarvoCards {

void readCard(const QSqlQuery& query, CCard& card)
{
    card.CardRecordID = query.value(0).toInt();
    card.CardTypeID = query.value(1).toString();
    int index = 2;
    for (const auto& column : cardColumns()) {
        card.*column.member = query.value(index++).toString();
    }
    card.Key = cardKey(card.CardRecordID);
}

void readDelivery(const QSqlQuery& query, CImportCard& card)
{
    int index = 2 + int(cardColumns().size());
    for (const auto& column : deliveryColumns()) {
        card.*column.member = query.value(index++).toString();
    }
}

CAddress readAddress(const QSqlQuery& query)
{
    CAddress address;
    address.Location = query.value(1).toInt();
    int index = 2;
    for (const auto& column : addressColumns()) {
        address.*column.member = query.value(index++).toString();
    }
    return address;
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
    QString sql = QStringLiteral("SELECT %1 FROM Addresses").arg(addressSelectList());
    if (!condition.trimmed().isEmpty() || limit > 0) {
        sql += QStringLiteral(" WHERE CardRecordID IN (%1)")
                   .arg(cardsSql(QStringLiteral("CardRecordID")));
    }
    return sql + QStringLiteral(" ORDER BY CardRecordID, Location");
}

} // namespace TarvoCards
