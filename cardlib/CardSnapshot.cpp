#include "CardSnapshot.h"

#include "Schema.h"
#include "SqlUtil.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlRecord>
#include <algorithm>

namespace TarvoCards {

namespace {

QJsonObject rowObject(const QSqlQuery& query)
{
    const QSqlRecord record = query.record();
    QJsonObject row;
    for (int i = 0; i < record.count(); ++i) {
        row.insert(schemaColumnName(record.fieldName(i)), QJsonValue::fromVariant(query.value(i)));
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

namespace {

// The table's column names as SELECT * gives them, in the order of a list
// naming them; none when the table has others.
RowSnapshots::Columns wholeRowColumns(QSqlDatabase& db, const QString& table,
                                      const QString& selectList)
{
    // Asked of a query, not of the driver: a server folds the names, and the
    // driver's own lookup takes them verbatim and finds no table.
    QSqlQuery probe(db);
    prepareOrThrow(probe, QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(table));
    execOrThrow(probe, {});
    const QSqlRecord record = probe.record();
    const QStringList selected = selectList.split(QStringLiteral(", "));
    if (record.count() != selected.size()) {
        return {};
    }
    RowSnapshots::Columns columns;
    for (const QString& column : selected) {
        const int index = record.indexOf(column);
        if (index < 0) {
            return {};
        }
        columns.byName.push_back(int(columns.names.size()));
        columns.names << schemaColumnName(record.fieldName(index));
    }
    // An object takes keys in their order at no cost, others by moving those after them.
    std::sort(columns.byName.begin(), columns.byName.end(),
              [&](int a, int b) { return columns.names[a] < columns.names[b]; });
    return columns;
}

} // namespace

std::optional<RowSnapshots> RowSnapshots::of(QSqlDatabase& db)
{
    RowSnapshots snapshots;
    snapshots.m_card = wholeRowColumns(db, QStringLiteral("Cards"), cardSelectList());
    snapshots.m_address = wholeRowColumns(db, QStringLiteral("Addresses"), addressSelectList());
    if (snapshots.m_card.names.isEmpty() || snapshots.m_address.names.isEmpty()) {
        return std::nullopt;
    }
    return snapshots;
}

QJsonObject RowSnapshots::object(const Columns& columns, const QSqlQuery& query)
{
    QJsonObject row;
    for (const int i : columns.byName) {
        row.insert(columns.names[i], QJsonValue::fromVariant(query.value(i)));
    }
    return row;
}

QJsonObject RowSnapshots::object(const Columns& columns, const QVariantList& values)
{
    QJsonObject row;
    for (const int i : columns.byName) {
        row.insert(columns.names[i], QJsonValue::fromVariant(values.value(i)));
    }
    return row;
}

QJsonObject RowSnapshots::whole(const QJsonObject& card, const QList<QJsonObject>& addresses)
{
    QJsonArray rows;
    for (const QJsonObject& address : addresses) {
        rows.append(address);
    }
    return {{QStringLiteral("card"), card}, {QStringLiteral("addresses"), rows}};
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
