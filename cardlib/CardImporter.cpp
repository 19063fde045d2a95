#include "CardImporter.h"

#include "CardRows.h"
#include "CardSnapshot.h"
#include "Connection.h"
#include "Schema.h"
#include "SqlUtil.h"
#include "platform/ChangeJournal.h"

namespace TarvoCards {

namespace {

bool isUnset(const QString& value)
{
    return value.isEmpty() || value == emptyValue();
}

QString cutToFit(const QString& value, int maxLength)
{
    if (value.size() <= maxLength) {
        return value;
    }
    const bool splitsPair = maxLength > 0 && value.at(maxLength - 1).isHighSurrogate();
    return value.left(splitsPair ? maxLength - 1 : maxLength);
}

// Copies the given values over the stored ones; an unset value keeps the stored one.
template <typename Record, typename Target>
void mergeColumns(std::span<const CardField<Record>> columns, const Target& given, Target& into,
                  QStringList& cuts)
{
    for (const auto& column : columns) {
        const QString& value = given.*column.member;
        if (isUnset(value)) {
            continue;
        }
        if (value.trimmed().isEmpty()) {
            (into.*column.member).clear(); // blanks say the field is now empty
            continue;
        }
        into.*column.member = cutToFit(value, column.maxLength);
        if (value.size() > column.maxLength) {
            cuts << QStringLiteral("%1 cut to %2 characters")
                        .arg(QLatin1String(column.name))
                        .arg(column.maxLength);
        }
    }
}

template <typename Record, typename Target>
void clearMarkers(std::span<const CardField<Record>> columns, Target& record)
{
    for (const auto& column : columns) {
        if (record.*column.member == emptyValue()) {
            (record.*column.member).clear();
        }
    }
}

// The value as the file would keep it, so a cut name still finds its card.
QString lookupValue(const QString& value, const char* columnName)
{
    if (isUnset(value)) {
        return QString();
    }
    for (const auto& column : cardColumns()) {
        if (qstrcmp(column.name, columnName) == 0) {
            return cutToFit(value, column.maxLength);
        }
    }
    return value;
}

bool isEmptyAddress(const CAddress& address)
{
    for (const auto& column : addressColumns()) {
        if (!(address.*column.member).isEmpty()) {
            return false;
        }
    }
    return true;
}

CAddress& addressAt(CAddresses& addresses, qint32 location)
{
    for (CAddress& address : addresses) {
        if (address.Location == location) {
            return address;
        }
    }
    CAddress& added = addresses.Add();
    added.Location = location;
    return added;
}

} // namespace

CardImporter::CardImporter(QSqlDatabase& db, QStringList types, QString newType,
                           brindle::ChangeJournal* journal)
    : m_journal(journal), m_types(std::move(types)), m_newType(std::move(newType)), m_byId(db),
      m_byIdentification(db), m_byPerson(db), m_byCompany(db), m_addresses(db), m_insert(db),
      m_update(db), m_writeAddress(db), m_writeAddressPair(db)
{
    if (m_journal) {
        m_rowSnapshots = RowSnapshots::of(db);
        if (!m_rowSnapshots) {
            m_snapshots.emplace(db);
        }
    }
    const QString select = QStringLiteral("SELECT %1 FROM Cards WHERE CardTypeID IN (?, ?) AND ")
                               .arg(cardSelectList());
    const QString first = QStringLiteral(" ORDER BY CardRecordID LIMIT 1");
    prepareOrThrow(m_byId, select + QStringLiteral("CardRecordID = ?"));
    prepareOrThrow(m_byIdentification, select + QStringLiteral("CardIdentification = ?") + first);
    prepareOrThrow(
        m_byPerson,
        select + QStringLiteral("IsIndividual = 'Y' AND LastName = ? AND FirstName = ?") + first);
    prepareOrThrow(m_byCompany,
                   select + QStringLiteral("IsIndividual = 'N' AND LastName = ?") + first);
    prepareOrThrow(
        m_addresses,
        QStringLiteral("SELECT %1 FROM Addresses WHERE CardRecordID = ? ORDER BY Location")
            .arg(addressSelectList()));
    const QStringList columns = cardTextColumnNames();
    prepareOrThrow(m_insert,
                   QStringLiteral("INSERT INTO Cards (CardTypeID, %1) VALUES (?, %2) "
                                  "RETURNING CardRecordID")
                       .arg(columns.join(QStringLiteral(", ")), placeholders(columns.size())));
    prepareOrThrow(m_update, QStringLiteral("UPDATE Cards SET %1 = ? WHERE CardRecordID = ?")
                                 .arg(columns.join(QStringLiteral(" = ?, "))));
    QStringList replaced;
    for (const QString& column : addressTextColumnNames()) {
        replaced << QStringLiteral("%1 = excluded.%1").arg(column);
    }
    // Two rows to a statement as well: on a server each statement is a round trip.
    const QString row =
        QLatin1Char('(') + placeholders(addressTextColumnNames().size() + 2) + QLatin1Char(')');
    for (const auto& [query, rows] :
         {std::pair{&m_writeAddress, row},
          std::pair{&m_writeAddressPair, row + QStringLiteral(", ") + row}}) {
        prepareOrThrow(*query,
                       QStringLiteral("INSERT INTO Addresses (%1) VALUES %2 ON CONFLICT "
                                      "(CardRecordID, Location) DO UPDATE SET %3")
                           .arg(addressSelectList(), rows, replaced.join(QStringLiteral(", "))));
    }
}

void CardImporter::write(CImportCard& item)
{
    item.ErrorCode.clear();
    item.WarningCode.clear();
    item.LogMessage.clear();
    item.IsIndividual = item.IsIndividual.toUpper();
    item.IsInactive = item.IsInactive.toUpper();
    const std::optional<CImportCard> stored = findStored(item);
    QString code;
    const QString problem = refusal(item, stored.has_value(), code);
    if (!problem.isEmpty()) {
        clearMarkers(cardColumns(), item);
        clearMarkers(deliveryColumns(), item);
        for (CAddress& address : item.Addresses) {
            clearMarkers(addressColumns(), address);
        }
        item.ErrorCode = code;
        item.LogMessage = problem;
        return;
    }
    CImportCard merged = stored.value_or(CImportCard{});
    if (!stored) {
        merged.CardTypeID = m_newType;
    }
    store(merged, stored.has_value(), item);
}

QString CardImporter::refusal(const CImportCard& item, bool found, QString& code) const
{
    for (const QString* flag : {&item.IsIndividual, &item.IsInactive}) {
        if (!isUnset(*flag) && *flag != QLatin1String("Y") && *flag != QLatin1String("N")) {
            code = ImportCode::badFlag;
            return QStringLiteral("IsIndividual and IsInactive must be Y or N, not %1").arg(*flag);
        }
    }
    for (const CAddress& address : item.Addresses) {
        if (address.Location < 1 || address.Location > 5) {
            code = ImportCode::badLocation;
            return QStringLiteral("Address location %1 is not between 1 and 5")
                .arg(address.Location);
        }
    }
    if (item.CardRecordID > 0 && !found) {
        code = ImportCode::unknownRecord;
        return QStringLiteral("Card record %1 is not a card of type %2 in the company file")
            .arg(item.CardRecordID)
            .arg(m_types.join(QStringLiteral(" or ")));
    }
    const bool blankName = !isUnset(item.LastName) && item.LastName.trimmed().isEmpty();
    if ((!found && isUnset(item.LastName)) || blankName) {
        code = ImportCode::noLastName;
        return QStringLiteral("The card has no last name");
    }
    return QString();
}

std::optional<CImportCard> CardImporter::findStored(const CImportCard& item)
{
    m_storedAddresses.clear();
    const QVariant type1 = m_types.value(0), type2 = m_types.value(m_types.size() - 1);
    if (item.CardRecordID > 0) {
        return fetchOne(m_byId, {type1, type2, item.CardRecordID});
    }
    const QString identification = lookupValue(item.CardIdentification, "CardIdentification");
    if (!identification.isEmpty() && identification.toUpper() != QLatin1String("*NONE")) {
        if (auto found = fetchOne(m_byIdentification, {type1, type2, identification})) {
            return found;
        }
    }
    const QString lastName = lookupValue(item.LastName, "LastName");
    if (lastName.isEmpty()) {
        return std::nullopt;
    }
    if (item.isPerson()) {
        return fetchOne(m_byPerson,
                        {type1, type2, lastName, lookupValue(item.FirstName, "FirstName")});
    }
    return fetchOne(m_byCompany, {type1, type2, lastName});
}

std::optional<CImportCard> CardImporter::fetchOne(QSqlQuery& query, const QVariantList& values)
{
    execOrThrow(query, values);
    std::optional<CImportCard> found;
    if (query.next()) {
        found.emplace();
        m_rows.readCard(query, *found);
        m_rows.readDelivery(query, *found);
        if (m_rowSnapshots) {
            m_storedCard = m_rowSnapshots->card(query);
        }
    }
    query.finish();
    if (found) {
        execOrThrow(m_addresses, {found->CardRecordID});
        while (m_addresses.next()) {
            found->Addresses.append(m_rows.readAddress(m_addresses));
            if (m_rowSnapshots) {
                m_storedAddresses.insert(found->Addresses.last().Location,
                                         m_rowSnapshots->address(m_addresses));
            }
        }
        m_addresses.finish();
    }
    return found;
}

QJsonObject CardImporter::storedSnapshot() const
{
    return RowSnapshots::whole(m_storedCard, m_storedAddresses.values());
}

// The card as the file holds it once the merged card and the written
// addresses are stored.
QJsonObject CardImporter::writtenSnapshot(const CImportCard& merged,
                                          const CAddresses& written) const
{
    QMap<qint32, QJsonObject> addresses = m_storedAddresses;
    for (const CAddress& address : written) {
        addresses.insert(address.Location,
                         m_rowSnapshots->address(addressValues(merged.CardRecordID, address)));
    }
    return RowSnapshots::whole(
        m_rowSnapshots->card(QVariantList{merged.CardRecordID, merged.CardTypeID} +
                             cardValues(merged)),
        addresses.values());
}

void CardImporter::store(CImportCard& merged, bool exists, CImportCard& item)
{
    QList<qint32> storedLocations;
    for (const CAddress& address : std::as_const(merged.Addresses)) {
        storedLocations << address.Location;
    }
    QStringList cuts;
    mergeColumns(cardColumns(), item, merged, cuts);
    mergeColumns(deliveryColumns(), item, merged, cuts);
    for (const CAddress& given : item.Addresses) {
        mergeColumns(addressColumns(), given, addressAt(merged.Addresses, given.Location), cuts);
    }
    // An address the file lacks and the item leaves empty gets no row.
    CAddresses written;
    for (CAddress& address : item.Addresses) {
        address = addressAt(merged.Addresses, address.Location);
        if (storedLocations.contains(address.Location) || !isEmptyAddress(address)) {
            written.append(address);
        }
    }
    std::optional<QJsonObject> before;
    if (m_journal && exists) {
        before = m_rowSnapshots ? storedSnapshot() : m_snapshots->take(merged.CardRecordID);
    }
    std::optional<QJsonObject> after;
    if (m_rowSnapshots && exists) {
        after = writtenSnapshot(merged, written);
    }
    // A card the write would leave as it is is no change of the run's.
    if (!before || !after || *after != *before) {
        write(merged, exists, written, before, after);
    }
    // The item now shows what the file holds; the program's own members stay.
    merged.Addresses = item.Addresses;
    merged.Key = item.Key;
    merged.TransferMessage = item.TransferMessage;
    item = merged;
    if (!cuts.isEmpty()) {
        item.WarningCode = ImportCode::valueCut;
        item.LogMessage = cuts.join(QStringLiteral("; "));
    }
}

// after: the card as the write leaves it, when it is known beforehand.
void CardImporter::write(CImportCard& merged, bool exists, const CAddresses& written,
                         const std::optional<QJsonObject>& before,
                         const std::optional<QJsonObject>& after)
{
    if (exists) {
        execOrThrow(m_update, cardValues(merged) << merged.CardRecordID);
    } else {
        execOrThrow(m_insert, QVariantList{merged.CardTypeID} + cardValues(merged));
        merged.CardRecordID = m_insert.next() ? m_insert.value(0).toInt() : 0;
        m_insert.finish();
    }
    for (qsizetype i = 0; i < written.size(); i += 2) {
        QVariantList values = addressValues(merged.CardRecordID, written[i]);
        const bool pair = i + 1 < written.size();
        if (pair) {
            values += addressValues(merged.CardRecordID, written[i + 1]);
        }
        execOrThrow(pair ? m_writeAddressPair : m_writeAddress, values);
    }
    if (m_journal) {
        m_journal->wroteCard(merged.CardRecordID, before,
                             after ? *after
                             : m_rowSnapshots
                                 ? writtenSnapshot(merged, written)
                                 : m_snapshots->take(merged.CardRecordID).value_or(QJsonObject()));
    }
}

} // namespace TarvoCards
