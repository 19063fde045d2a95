#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <optional>

namespace TarvoCards {

// A card and its addresses as the company file holds them, every column by
// name, so that a record of a run can put the card back exactly. None when
// the file holds no card of that record ID.
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

// Makes the file hold the snapshot (none: removes the card and its
// addresses), keeping the record ID. Runs inside the caller's transaction.
void restoreCard(QSqlDatabase& db, qint64 recordId, const std::optional<QJsonObject>& snapshot);

// A digest that tells two snapshots apart; none has a digest of its own.
QByteArray snapshotDigest(const std::optional<QJsonObject>& snapshot);

} // namespace TarvoCards
