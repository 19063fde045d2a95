#pragma once

#include "Card.h"
#include "CardRows.h"
#include "CardSnapshot.h"

#include <QMap>
#include <QSqlQuery>
#include <QStringList>
#include <optional>

namespace brindle {
class ChangeJournal;
}

namespace TarvoCards {

// Outcome codes an import gives an item.
namespace ImportCode {
inline const QString noLastName = QStringLiteral("1");
inline const QString badFlag = QStringLiteral("2");
inline const QString unknownRecord = QStringLiteral("3");
inline const QString badLocation = QStringLiteral("4");
inline const QString valueCut = QStringLiteral("1"); // a warning
} // namespace ImportCode

// Writes import items of one card type inside the caller's transaction,
// with its statements prepared once.
class CardImporter
{
public:
    // types: the stored types the items may match ("S" also finds "V");
    // newType: the type a new card gets.
    // journal: told of each card written, or none.
    CardImporter(QSqlDatabase& db, QStringList types, QString newType,
                 brindle::ChangeJournal* journal = nullptr);

    // Updates the item's card, inserts a new one, or refuses the item with
    // its ErrorCode. Throws brindle::PlatformError when the file fails.
    void write(CImportCard& item);

private:
    std::optional<CImportCard> findStored(const CImportCard& item);
    std::optional<CImportCard> fetchOne(QSqlQuery& query, const QVariantList& values);
    QString refusal(const CImportCard& item, bool found, QString& code) const;
    void store(CImportCard& merged, bool exists, CImportCard& item);
    void write(CImportCard& merged, bool exists, const CAddresses& written,
               const std::optional<QJsonObject>& before, const std::optional<QJsonObject>& after);
    QJsonObject storedSnapshot() const;
    QJsonObject writtenSnapshot(const CImportCard& merged, const CAddresses& written) const;

    brindle::ChangeJournal* m_journal;
    // When there is a journal: the snapshots made from the rows read and
    // written, or where they cannot be, read for themselves.
    std::optional<RowSnapshots> m_rowSnapshots;
    std::optional<CardSnapshots> m_snapshots;
    // The rows of the card findStored found, made into snapshot objects.
    QJsonObject m_storedCard;
    QMap<qint32, QJsonObject> m_storedAddresses;
    QStringList m_types;
    QString m_newType;
    RowReader m_rows;
    QSqlQuery m_byId, m_byIdentification, m_byPerson, m_byCompany, m_addresses;
    QSqlQuery m_insert, m_update, m_writeAddress, m_writeAddressPair;
};

} // namespace TarvoCards
