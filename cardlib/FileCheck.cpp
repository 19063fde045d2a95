#include "FileCheck.h"

#include "Dialect.h"
#include "Password.h"
#include "Schema.h"
#include "ServerAddress.h"
#include "SqlUtil.h"

#include <QFileInfo>
#include <QSqlError>

namespace TarvoCards {

namespace {

using brindle::PlatformError;
namespace ErrorNumber = brindle::ErrorNumber;

PlatformError notCompanyFile(const QString& path, const QString& why)
{
    return PlatformError(ErrorNumber::Unspecified,
                         QStringLiteral("%1 is not a company file: %2").arg(path, why));
}

void checkFileItself(const CConnectionSettings& settings)
{
    const QFileInfo file(settings.DataFile);
    if (settings.DataFile.isEmpty() || !file.exists()) {
        throw PlatformError(ErrorNumber::NotFound,
                            QStringLiteral("Company file not found: %1").arg(settings.DataFile));
    }
    if (!file.isFile() || !file.isReadable()) {
        throw PlatformError(ErrorNumber::PermissionDenied,
                            QStringLiteral("Cannot read the company file %1").arg(file.filePath()));
    }
    // Permission bits, not only access(): a file marked read-only stays so for root too.
    const bool writable =
        file.isWritable() &&
        (file.permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
    if (settings.AccessMode < CConnectionSettings::readWriteAccess) {
        return;
    }
    if (!writable) {
        throw PlatformError(
            ErrorNumber::PermissionDenied,
            QStringLiteral("The company file %1 is read-only").arg(file.filePath()));
    }
    if (!QFileInfo(file.absolutePath()).isWritable()) {
        throw PlatformError(ErrorNumber::PermissionDenied,
                            QStringLiteral("The folder of the company file %1 cannot be written; "
                                           "SQLite needs it for the file's journal")
                                .arg(file.filePath()));
    }
}

// Runs a query that yields one value; the file's own failures say what is wrong.
QVariant singleValue(QSqlDatabase& db, const QString& sql, const QString& path)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(sql)) {
        const QString text = query.lastError().databaseText();
        if (text.contains(QLatin1String("locked")) || text.contains(QLatin1String("busy"))) {
            throw PlatformError(
                ErrorNumber::Unspecified,
                QStringLiteral("The company file %1 is locked by another program").arg(path));
        }
        throw notCompanyFile(path, text);
    }
    return query.next() ? query.value(0) : QVariant();
}

bool hasTable(QSqlDatabase& db, const QString& table, const QString& path)
{
    return singleValue(db, Dialect::of(db).tableExists(table), path).toInt() > 0;
}

int checkLayout(QSqlDatabase& db, const QString& path)
{
    if (!hasTable(db, QStringLiteral("Cards"), path) ||
        !hasTable(db, QStringLiteral("Addresses"), path) ||
        !hasTable(db, QStringLiteral("Information"), path)) {
        throw notCompanyFile(path, QStringLiteral("it has no card tables"));
    }
    QSqlQuery info(db);
    info.setForwardOnly(true);
    if (!info.exec(QStringLiteral("SELECT SchemaVersion, CountryCode FROM Information")) ||
        !info.next()) {
        throw notCompanyFile(path, QStringLiteral("it has no file information"));
    }
    if (info.value(0).toInt() > schemaVersion) {
        throw PlatformError(ErrorNumber::Unspecified,
                            QStringLiteral("The company file %1 was made by a newer version "
                                           "(layout %2; this library knows %3)")
                                .arg(path)
                                .arg(info.value(0).toInt())
                                .arg(schemaVersion));
    }
    return info.value(1).toInt();
}

void checkIntegrity(QSqlDatabase& db, const QString& path)
{
    const QString verdict = singleValue(db, QStringLiteral("PRAGMA quick_check"), path).toString();
    if (verdict != QLatin1String("ok")) {
        throw notCompanyFile(path, QStringLiteral("it is damaged (%1)").arg(verdict));
    }
}

void checkRounds(QSqlDatabase& db, const QString& path)
{
    const QString badRounds = QStringLiteral("SELECT count(*) FROM Users WHERE ") +
                              QString::fromLatin1(Dialect::of(db).badRounds).arg(maxPasswordRounds);
    if (singleValue(db, badRounds, path).toInt() > 0) {
        throw notCompanyFile(path, QStringLiteral("it is damaged (a user's round count is not "
                                                  "between 1 and %1)")
                                       .arg(maxPasswordRounds));
    }
}

void checkLogin(QSqlDatabase& db, const CConnectionSettings& settings, const QString& path)
{
    if (!hasTable(db, QStringLiteral("Users"), path) ||
        singleValue(db, QStringLiteral("SELECT count(*) FROM Users"), path).toInt() == 0) {
        return;
    }
    checkRounds(db, path);
    QSqlQuery user(db);
    user.setForwardOnly(true);
    user.prepare(QStringLiteral(
        "SELECT Salt, Rounds, PasswordHash FROM Users WHERE lower(UserName) = lower(?)"));
    user.addBindValue(settings.Username);
    if (!user.exec() || !user.next() ||
        !passwordMatches(settings.Password, user.value(0).toByteArray(), user.value(1).toInt(),
                         user.value(2).toByteArray())) {
        throw PlatformError(
            ErrorNumber::PermissionDenied,
            QStringLiteral("The user name or password is not accepted by %1").arg(path));
    }
}

int checkContents(QSqlDatabase& db, const CConnectionSettings& settings)
{
    if (!db.open()) {
        throw notCompanyFile(settings.DataFile, db.lastError().text());
    }
    singleValue(db, QStringLiteral("SELECT count(*) FROM sqlite_master"), settings.DataFile);
    if (settings.CheckIntegrity) {
        checkIntegrity(db, settings.DataFile);
    }
    return checkOpenCompanyFile(db, settings);
}

// A writer stopped part way through a transaction leaves the journal that
// undoes it, which a read-only connection cannot play back; a read-write one
// does on its first read. SQLite leaves the journal of a live writer alone,
// and what goes wrong here the check says next.
void rollBackLeftJournal(const CConnectionSettings& settings, int timeoutSeconds)
{
    if (settings.AccessMode < CConnectionSettings::readWriteAccess ||
        !QFileInfo::exists(settings.DataFile + QStringLiteral("-journal"))) {
        return;
    }
    ScopedDatabase scoped;
    useUri(scoped.db(), settings.DataFile, OpenMode::ReadWrite, timeoutSeconds);
    if (scoped.db().open()) {
        QSqlQuery(QStringLiteral("SELECT count(*) FROM sqlite_master"), scoped.db());
    }
}

} // namespace

int checkOpenCompanyFile(QSqlDatabase& db, const CConnectionSettings& settings)
{
    const QString path = displayName(settings.DataFile);
    const int country = checkLayout(db, path);
    checkLogin(db, settings, path);
    return country;
}

int checkCompanyFile(const CConnectionSettings& settings, int timeoutSeconds)
{
    checkFileItself(settings);
    rollBackLeftJournal(settings, timeoutSeconds);
    ScopedDatabase scoped;
    useUri(scoped.db(), settings.DataFile, OpenMode::ReadOnly, timeoutSeconds);
    return checkContents(scoped.db(), settings);
}

} // namespace TarvoCards
