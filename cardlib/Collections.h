#pragma once

#include "Card.h"

#include <QHash>
#include <QObject>
#include <deque>

namespace TarvoCards {

class CConnection;

// Ordered cards with look-up by key ("57K"). References stay valid while
// cards are added, so AddNew can hand out the card it made.
template <typename Item> class KeyedCards
{
public:
    using iterator = typename std::deque<Item>::iterator;
    using const_iterator = typename std::deque<Item>::const_iterator;

    qsizetype Count() const { return qsizetype(m_items.size()); }

    // The item with that key, or nullptr when there is none.
    Item* find(const QString& key)
    {
        reindex();
        const auto found = m_index.constFind(key);
        return found == m_index.cend() ? nullptr : &m_items[size_t(*found)];
    }

    Item& append(Item item = {})
    {
        m_items.push_back(std::move(item));
        m_indexed = false;
        return m_items.back();
    }

    // Call after changing items' keys or record IDs in place.
    void keysChanged() { m_indexed = false; }

    void clear()
    {
        m_items.clear();
        m_index.clear();
        m_indexed = true;
    }

    iterator begin() { return m_items.begin(); }
    iterator end() { return m_items.end(); }
    const_iterator begin() const { return m_items.begin(); }
    const_iterator end() const { return m_items.end(); }

private:
    void reindex()
    {
        if (m_indexed) {
            return;
        }
        m_index.clear();
        for (size_t i = 0; i < m_items.size(); ++i) {
            const Item& item = m_items[i];
            const QString key = item.Key.isEmpty() ? cardKey(item.CardRecordID) : item.Key;
            if (!m_index.contains(key)) { // a later duplicate does not hide the first
                m_index.insert(key, qsizetype(i));
            }
        }
        m_indexed = true;
    }

    std::deque<Item> m_items;
    QHash<QString, qsizetype> m_index;
    bool m_indexed = true;
};

// The cards of one company file, loaded with the program's own condition
// and order, or made one by one with AddNew.
class CCardsColl : public KeyedCards<CCard>
{
public:
    // Fills the collection from the Cards table of the connection with the
    // program's SQL condition ("" for all) and order. Throws
    // brindle::PlatformError when the query fails; True otherwise.
    bool Load(CConnection& connection, const QString& filter, const QString& order);
    CCard* Item(const QString& key) { return find(key); }
    CCard& AddNew() { return append(); }
};

// Cards of one type handed to the import, or filled by Backup with what an
// update carries over from the stored cards of that type.
class CTypeColl : public QObject, public KeyedCards<CImportCard>
{
    Q_OBJECT

public:
    // Type code of the collection's cards: "C", "S", "E" or "P".
    explicit CTypeColl(QString cardTypeId) : m_cardTypeId(std::move(cardTypeId)) {}

    const QString& cardTypeId() const { return m_cardTypeId; }

    // Adds a new empty item and returns it; the first argument is unused.
    CImportCard& Add(int = 0) { return append(); }
    CImportCard* Item(const QString& key) { return find(key); }

    // Writes every item into the connection's company file in one
    // transaction; each item gets its outcome (ErrorCode, WarningCode,
    // LogMessage). False, with the file and the items as they were, when
    // the file itself fails.
    bool Import(CConnection& connection);
    // Fills the collection with the stored cards of its type (record ID,
    // type, key and delivery settings: the backup holds the rest) and writes
    // them whole to a backup beside the company file. On failure ok is False and
    // the call throws brindle::PlatformError, so no import runs unbacked.
    void Backup(CConnection& connection, int, int, bool& ok);
    // The backup file the last Backup wrote.
    const QString& backupPath() const { return m_backupPath; }

signals:
    void ImportComplete(const QVariant& unused);

private:
    QString m_cardTypeId;
    QString m_backupPath;
};

// The collection of the cards of one type code.
template <char16_t TypeId> class CTypeCollOf : public CTypeColl
{
public:
    CTypeCollOf() : CTypeColl(QString(QChar(TypeId))) {}
};

using CCustomerColl = CTypeCollOf<u'C'>;
using CSupplierColl = CTypeCollOf<u'S'>;
using CEmployeeColl = CTypeCollOf<u'E'>;
using CPersonalColl = CTypeCollOf<u'P'>;

} // namespace TarvoCards
