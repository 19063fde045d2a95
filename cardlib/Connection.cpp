#include "Connection.h"

#include "Dialect.h"
#include "FileCheck.h"
#include "Schema.h"
#include "ServerAddress.h"
#include "ServerConnect.h"
#include "SqlUtil.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace TarvoCards {

namespace {

brindle::PlatformError lockedFile(const QString& path)
{
    return brindle::PlatformError(
        brindle::ErrorNumber::Unspecified,
        QStringLiteral("The company file %1 is locked by another program").arg(path));
}

} // namespace

QString emptyValue()
{
    // A control character no contact text carries on its own.
    return QStringLiteral("\x1A");
}

CConnection::CConnection() = default;

CConnection::~CConnection()
{
    Disconnect();
}

QString CConnection::EmptyValue() const
{
    return emptyValue();
}

bool CConnection::Connect()
{
    Disconnect();
    setLastError({0, QString()});
    m_settings.m_countryCode = 0;
    try {
        if (ServerAddress::names(m_settings.DataFile)) {
            openServer();
        } else {
            m_settings.m_countryCode = checkCompanyFile(m_settings, ConnectionTimeout);
            openDatabase();
        }
    } catch (const brindle::PlatformError& error) {
        m_database.reset();
        setLastError(error);
        return false;
    }
    return true;
}

void CConnection::openDatabase()
{
    const bool readOnly = m_settings.AccessMode < CConnectionSettings::readWriteAccess;
    m_database = std::make_unique<ScopedDatabase>();
    QSqlDatabase& db = m_database->db();
    useUri(db, m_settings.DataFile, readOnly ? OpenMode::ReadOnly : OpenMode::ReadWrite,
           ConnectionTimeout);
    if (!db.open()) {
        throw sqlFailure(QStringLiteral("Cannot open the company file"), db.lastError());
    }
    execOrThrow(db,
                QStringLiteral("PRAGMA synchronous = %1").arg(qBound(0, m_settings.SyncLevel, 3)));
    if (m_settings.CacheSize > 0) {
        execOrThrow(db, QStringLiteral("PRAGMA cache_size = -%1").arg(m_settings.CacheSize));
    }
    if (!readOnly) {
        // Taking the write lock once tells now, not mid-import, that another
        // program is writing; nothing is written.
        QSqlQuery probe(db);
        if (!probe.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
            throw lockedFile(m_settings.DataFile);
        }
        probe.exec(QStringLiteral("ROLLBACK"));
    }
}

void CConnection::openServer()
{
    m_database = std::make_unique<ScopedDatabase>(QStringLiteral("QPSQL"));
    openServerDatabase(m_database->db(), m_settings, ConnectionTimeout);
    m_settings.m_countryCode = checkOpenCompanyFile(m_database->db(), m_settings);
}

bool CConnection::OpenRecordset(const QString& sql, int, CRecordset& recordset)
{
    recordset = CRecordset();
    if (!IsConnected()) {
        setLastError({brindle::ErrorNumber::Unspecified, QStringLiteral("Not connected")});
        return false;
    }
    QSqlDatabase& db = database();
    const Dialect& dialect = Dialect::of(db);
    // A recordset is for reading: the query may not change the file.
    for (const QString& statement : dialect.readOnlyBegin) {
        execOrThrow(db, statement);
    }
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const bool ok = query.exec(sql);
    if (ok) {
        const QSqlRecord record = query.record();
        for (int i = 0; i < record.count(); ++i) {
            recordset.Fields.names << schemaColumnName(record.fieldName(i));
        }
        while (query.next()) {
            QVariantList row;
            for (int i = 0; i < record.count(); ++i) {
                row << query.value(i);
            }
            recordset.Rows << row;
        }
    } else {
        setLastError(sqlFailure(QStringLiteral("The query failed"), query.lastError()));
    }
    query.finish();
    for (const QString& statement : dialect.readOnlyEnd) {
        execOrThrow(db, statement);
    }
    return ok;
}

void CConnection::Disconnect()
{
    m_database.reset();
}

QSqlDatabase& CConnection::database()
{
    if (!m_database) {
        throw brindle::PlatformError(brindle::ErrorNumber::Unspecified,
                                     QStringLiteral("No company file is connected"));
    }
    return m_database->db();
}

void CConnection::setLastError(const brindle::PlatformError& error)
{
    m_errorNumber = error.number();
    m_errorDescription = error.description();
}

} // namespace TarvoCards
