#pragma once

#include "platform/PlatformError.h"

#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <memory>

namespace brindle {
class ChangeJournal;
}

namespace TarvoCards {

class ScopedDatabase;

// The login and the choices of one connection, set before Connect.
struct CConnectionSettings
{
    Q_GADGET
    Q_PROPERTY(int AccessMode MEMBER AccessMode)
    Q_PROPERTY(int SyncLevel MEMBER SyncLevel)
    Q_PROPERTY(bool CheckIntegrity MEMBER CheckIntegrity)
    Q_PROPERTY(QString Username MEMBER Username)
    Q_PROPERTY(QString Password MEMBER Password)
    Q_PROPERTY(int HostProduct MEMBER HostProduct)
    Q_PROPERTY(QString NetworkProtocol MEMBER NetworkProtocol)
    Q_PROPERTY(QString HostExePath MEMBER HostExePath)
    Q_PROPERTY(QString DataFile MEMBER DataFile)
    Q_PROPERTY(int CacheSize MEMBER CacheSize)
    Q_PROPERTY(bool Unicode MEMBER Unicode)
    Q_PROPERTY(QString ApplicationID MEMBER ApplicationID)
    Q_PROPERTY(QString ApplicationTitle MEMBER ApplicationTitle)
    Q_PROPERTY(int CountryCode READ CountryCode)

public:
    static constexpr int readOnlyAccess = 1;
    static constexpr int readWriteAccess = 2;

    int AccessMode = readWriteAccess; // read-write also refuses a read-only file
    int SyncLevel = 2;                // SQLite's synchronous level, 0 off to 3 extra
    bool CheckIntegrity = false;      // Connect runs SQLite's quick check first
    QString Username;
    QString Password;
    // Kept for the record in backups: 3 the accounting product, 1 its pro edition.
    int HostProduct = 0;
    QString NetworkProtocol; // a local file has no use for it
    QString HostExePath;
    QString DataFile;    // the company file
    int CacheSize = 0;   // page cache in KiB; 0 leaves SQLite's default
    bool Unicode = true; // text is always Unicode here; kept for older callers
    QString ApplicationID;
    QString ApplicationTitle;

    // The company file's country (1 Australia, 2 United States); 0 until connected.
    int CountryCode() const { return m_countryCode; }

private:
    friend class CConnection;
    int m_countryCode = 0;
};

// Rows of a query made with OpenRecordset.
class CRecordset
{
public:
    struct CFields
    {
        QStringList names;
        qsizetype Count() const { return names.size(); }
        QString Item(qsizetype index) const { return names.value(index); }
    };

    CFields Fields;
    QList<QVariantList> Rows;

    qsizetype RecordCount() const { return Rows.size(); }
};

// One open company file, which Load, Import and Backup of the collections
// are given.
class CConnection
{
public:
    CConnection();
    ~CConnection();
    Q_DISABLE_COPY(CConnection)

    // Seconds to wait for a company file that another program holds locked.
    int ConnectionTimeout = 3;
    // Seconds an import on a server waits for another's import of a type.
    int WriteLockTimeout = 30;
    // Most cards one Load reads; 0 reads them all.
    int MaxCards = 0;
    // The addresses one Load reads: locations 1 to this one.
    int MaxAddressLocation = 5;

    // The text that marks a field as "no value given": an import leaves the
    // stored value of such a field as it is.
    QString EmptyValue() const;
    CConnectionSettings& Settings() { return m_settings; }

    // False with LastError set when the file cannot be used; it is not changed.
    bool Connect();
    // Runs a reading query; False with LastError set when it fails.
    bool OpenRecordset(const QString& sql, int options, CRecordset& recordset);
    void Disconnect();

    bool IsConnected() const { return m_database != nullptr; }
    // Number 0 when the last call went well.
    brindle::PlatformError LastError() const { return {m_errorNumber, m_errorDescription}; }

    // Throws brindle::PlatformError when not connected.
    QSqlDatabase& database();
    void setLastError(const brindle::PlatformError& error);
    // Told of every card an Import writes; none by default.
    void setJournal(brindle::ChangeJournal* journal) { m_journal = journal; }
    brindle::ChangeJournal* journal() const { return m_journal; }

private:
    void openDatabase();
    void openServer();

    CConnectionSettings m_settings;
    std::unique_ptr<ScopedDatabase> m_database;
    qint64 m_errorNumber = 0;
    QString m_errorDescription;
    brindle::ChangeJournal* m_journal = nullptr;
};

// The value EmptyValue gives.
QString emptyValue();

} // namespace TarvoCards
