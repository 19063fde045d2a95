#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <optional>
#include <vector>

namespace TarvoCards {

// A card and its addresses as the company file holds them, every column by
// its name in the schema (a server gives them in lower case), so that a
// record of a run can put the card back exactly. None when the file holds no
// card of that record ID.
std::optional<QJsonObject> cardSnapshot(QSqlDatabase& db, qint64 recordId);

// The same with its statements prepared once, for a run that takes many.
class CardSnapshots
{
public:
    explicit CardSnapshots(QSqlDatabase& db);
    std::optional<QJsonObject> take(qint64 recordId);

private:
    QSqlQuery m_card, m_addresses;
};

// Snapshots made from the rows a writer reads and the values it writes, in
// the order of cardSelectList() and addressSelectList(), without reading
// the card again. Only when those lists name every column of their tables;
// otherwise the writer takes its snapshots with CardSnapshots.
class RowSnapshots
{
public:
    // None when a table has a column the lists do not name.
    static std::optional<RowSnapshots> of(QSqlDatabase& db);

    // The current row of a query, or the values about to be written.
    QJsonObject card(const QSqlQuery& query) const { return object(m_card, query); }
    QJsonObject address(const QSqlQuery& query) const { return object(m_address, query); }
    QJsonObject card(const QVariantList& values) const { return object(m_card, values); }
    QJsonObject address(const QVariantList& values) const { return object(m_address, values); }
    // A snapshot of a card row and its address rows, these in the order of their location.
    static QJsonObject whole(const QJsonObject& card, const QList<QJsonObject>& addresses);

    // A table's columns as the schema names them, for the keys to be those of
    // cardSnapshot, with their positions in the order of the keys.
    struct Columns
    {
        QStringList names;
        std::vector<int> byName;
    };

private:
    Columns m_card, m_address;

    static QJsonObject object(const Columns& columns, const QSqlQuery& query);
    static QJsonObject object(const Columns& columns, const QVariantList& values);
};

// Makes the file hold the snapshot (none: removes the card and its
// addresses), keeping the record ID. Runs inside the caller's transaction.
void restoreCard(QSqlDatabase& db, qint64 recordId, const std::optional<QJsonObject>& snapshot);

// A digest that tells two snapshots apart; none has a digest of its own.
QByteArray snapshotDigest(const std::optional<QJsonObject>& snapshot);

} // namespace TarvoCards
