#include "CardSnapshot.h"

#include "SqlUtil.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlRecord>

namespace TarvoCards {

namespace {

QJsonObject rowObject(const QSqlQuery& query)
{
    const QSqlRecord record = query.record();
    QJsonObject row;
    for (int i = 0; i < record.count(); ++i) {
        row.insert(record.fieldName(i), QJsonValue::fromVariant(query.value(i)));
    }
    return row;
}

void insertRow(QSqlDatabase& db, const QString& table, const QJsonObject& row)
{
    const QStringList columns = row.keys();
    QVariantList values;
    for (const QString& column : columns) {
        values << row.value(column).toVariant();
    }
    QSqlQuery insert(db);
    prepareOrThrow(
        insert, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                    .arg(table, columns.join(QStringLiteral(", ")), placeholders(columns.size())));
    execOrThrow(insert, values);
}

} // namespace

CardSnapshots::CardSnapshots(QSqlDatabase& db) : m_card(db), m_addresses(db)
{
    prepareOrThrow(m_card, QStringLiteral("SELECT * FROM Cards WHERE CardRecordID = ?"));
    prepareOrThrow(m_addresses, QStringLiteral("SELECT * FROM Addresses WHERE CardRecordID = ? "
                                               "ORDER BY Location"));
}

std::optional<QJsonObject> CardSnapshots::take(qint64 recordId)
{
    execOrThrow(m_card, {recordId});
    if (!m_card.next()) {
        m_card.finish();
        return std::nullopt;
    }
    QJsonObject snapshot{{QStringLiteral("card"), rowObject(m_card)}};
    m_card.finish();
    execOrThrow(m_addresses, {recordId});
    QJsonArray rows;
    while (m_addresses.next()) {
        rows.append(rowObject(m_addresses));
    }
    m_addresses.finish();
    snapshot.insert(QStringLiteral("addresses"), rows);
    return snapshot;
}

std::optional<QJsonObject> cardSnapshot(QSqlDatabase& db, qint64 recordId)
{
    return CardSnapshots(db).take(recordId);
}

void restoreCard(QSqlDatabase& db, qint64 recordId, const std::optional<QJsonObject>& snapshot)
{
    for (const char* table : {"Addresses", "Cards"}) {
        QSqlQuery remove(db);
        prepareOrThrow(
            remove,
            QStringLiteral("DELETE FROM %1 WHERE CardRecordID = ?").arg(QLatin1String(table)));
        execOrThrow(remove, {recordId});
    }
    if (!snapshot) {
        return;
    }
    insertRow(db, QStringLiteral("Cards"), snapshot->value(QStringLiteral("card")).toObject());
    for (const QJsonValue address : snapshot->value(QStringLiteral("addresses")).toArray()) {
        insertRow(db, QStringLiteral("Addresses"), address.toObject());
    }
}

QByteArray snapshotDigest(const std::optional<QJsonObject>& snapshot)
{
    if (!snapshot) {
        return QByteArrayLiteral("none");
    }
    return QCryptographicHash::hash(QJsonDocument(*snapshot).toJson(QJsonDocument::Compact),
                                    QCryptographicHash::Sha256)
        .toHex();
}

} // namespace TarvoCards
