#pragma once

#include "Card.h"
#include "CardRows.h"
#include "CardSnapshot.h"

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

    brindle::ChangeJournal* m_journal;
    std::optional<CardSnapshots> m_snapshots; // when there is a journal
    QStringList m_types;
    QString m_newType;
    RowReader m_rows;
    QSqlQuery m_byId, m_byIdentification, m_byPerson, m_byCompany, m_addresses;
    QSqlQuery m_insert, m_update, m_writeAddress;
};

} // namespace TarvoCards
