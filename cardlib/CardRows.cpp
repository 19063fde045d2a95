#include "CardRows.h"

#include <QVariant>

namespace TarvoCards {

namespace {

// Beyond this many distinct values a column's values hardly repeat: the
// reader stops keeping new ones, so its set stays small.
constexpr qsizetype maxKeptValues = 1 << 16;

} // namespace

template <typename Row> void RowReader::readCard(const Row& row, CCard& card)
{
    readIdentity(row, card);
    readColumns(row, 2, cardColumns(), card);
}

template <typename Row> void RowReader::readDelivery(const Row& row, CImportCard& card)
{
    readColumns(row, 2 + int(cardColumns().size()), deliveryColumns(), card);
}

template <typename Row> void RowReader::readDeliveryOnly(const Row& row, CImportCard& card)
{
    readIdentity(row, card);
    readColumns(row, 2, deliveryColumns(), card);
}

template <typename Row> void RowReader::readIdentity(const Row& row, CCard& card)
{
    card.CardRecordID = numberAt(row, 0);
    card.CardTypeID = kept(textAt(row, 1));
    card.Key = cardKey(card.CardRecordID);
}

template <typename Row> CAddress RowReader::readAddress(const Row& row)
{
    CAddress address;
    address.Location = numberAt(row, 1);
    readColumns(row, 2, addressColumns(), address);
    return address;
}

template <typename Row, typename Record, typename Target>
void RowReader::readColumns(const Row& row, int first, std::span<const CardField<Record>> columns,
                            Target& into)
{
    int index = first;
    for (const auto& column : columns) {
        QString value = textAt(row, index++);
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

template void RowReader::readCard(const QSqlQuery&, CCard&);
template void RowReader::readCard(const RowCursor&, CCard&);
template void RowReader::readDelivery(const QSqlQuery&, CImportCard&);
template void RowReader::readDelivery(const RowCursor&, CImportCard&);
template CAddress RowReader::readAddress(const QSqlQuery&);
template CAddress RowReader::readAddress(const RowCursor&);

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
    RowCursor cards(db, what.cardsSql(deliverySelectList()), what.values);
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
