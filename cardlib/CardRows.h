#pragma once

#include "Collections.h"
#include "RowCursor.h"
#include "Schema.h"
#include "SqlUtil.h"

#include <QHash>
#include <QSet>
#include <QSqlQuery>
#include <type_traits>

namespace TarvoCards {

// A value of the row a query is at: the driver's for queries run again and
// again, the cursor's for the loads of many cards.
inline QString textAt(const QSqlQuery& row, int column)
{
    return row.value(column).toString();
}
inline int numberAt(const QSqlQuery& row, int column)
{
    return row.value(column).toInt();
}
inline QString textAt(const RowCursor& row, int column)
{
    return row.text(column);
}
inline int numberAt(const RowCursor& row, int column)
{
    return row.number(column);
}

// Reads rows in the order of cardSelectList() and addressSelectList().
// The values of columns that repeat across cards (flags, type codes,
// places) are kept once per reader: a large file does not hold a copy of
// its country for every address.
class RowReader
{
public:
    // Rows of a QSqlQuery or a RowCursor.
    template <typename Row> void readCard(const Row& row, CCard& card);
    template <typename Row> void readDelivery(const Row& row, CImportCard& card);
    // A row of deliverySelectList().
    template <typename Row> void readDeliveryOnly(const Row& row, CImportCard& card);
    template <typename Row> CAddress readAddress(const Row& row);

private:
    // Record ID, type and key from the first two columns.
    template <typename Row> void readIdentity(const Row& row, CCard& card);
    template <typename Row, typename Record, typename Target>
    void readColumns(const Row& row, int first, std::span<const CardField<Record>> columns,
                     Target& into);
    QString kept(QString value);

    QSet<QString> m_kept;
};

// Values in the order of cardTextColumnNames() and of addressSelectList().
QVariantList cardValues(const CImportCard& card);
QVariantList addressValues(qint32 cardRecordId, const CAddress& address);

// Which cards to read: an SQL condition on Cards ("" for all) with its
// bound values, an order ("" for record order) and a limit (0 for none).
struct CardQuery
{
    QString condition;
    QVariantList values;
    QString order;
    int limit = 0;
    int lastLocation = 5;

    QString cardsSql(const QString& columns) const;
    QString addressesSql() const;
};

// Appends the cards the query finds, with their addresses, in its order.
template <typename Item>
void loadCards(QSqlDatabase& db, const CardQuery& what, KeyedCards<Item>& into)
{
    QHash<qint32, Item*> byId;
    RowReader rows;
    RowCursor cards(db, what.cardsSql(cardSelectList()), what.values);
    while (cards.next()) {
        Item& item = into.append();
        rows.readCard(cards, item);
        if constexpr (std::is_same_v<Item, CImportCard>) {
            rows.readDelivery(cards, item);
        }
        byId.insert(item.CardRecordID, &item);
    }
    RowCursor addresses(db, what.addressesSql(), what.values);
    while (addresses.next()) {
        if (Item* item = byId.value(addresses.number(0))) {
            item->Addresses.append(rows.readAddress(addresses));
        }
    }
    for (Item* item : std::as_const(byId)) {
        item->Addresses.squeeze(); // a large file holds many cards: no room to grow
    }
}

// Appends the cards the query finds with their record ID, type, key and
// delivery settings only.
void loadDeliveries(QSqlDatabase& db, const CardQuery& what, KeyedCards<CImportCard>& into);

} // namespace TarvoCards
