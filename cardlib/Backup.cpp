#include "Backup.h"

#include "CompanyFile.h"
#include "Connection.h"
#include "Schema.h"
#include "SqlUtil.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace TarvoCards {

namespace {

QString newBackupPath(const QString& companyFile, const QString& typeCode)
{
    const QFileInfo company(companyFile);
    const QString stem =
        QStringLiteral("%1-backup-%2-%3")
            .arg(company.completeBaseName(),
                 QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")),
                 typeCode);
    QString path = company.dir().filePath(stem + QStringLiteral(".sqlite"));
    for (int n = 2; QFile::exists(path); ++n) {
        path = company.dir().filePath(QStringLiteral("%1-%2.sqlite").arg(stem).arg(n));
    }
    return path;
}

// The name a backup is written under names the process writing it, so that
// what a killed run left can be told from what a live one is writing.
QString partPath(const QString& path)
{
    return QStringLiteral("%1.%2.part").arg(path).arg(::getpid());
}

bool isAlive(qint64 pid)
{
    return ::kill(pid_t(pid), 0) == 0 || errno != ESRCH;
}

// Partial backups (and their journals) of this company file whose writer
// is no longer alive.
void removeLeftovers(const QString& companyFile)
{
    const QFileInfo company(companyFile);
    const QRegularExpression leftover(
        QStringLiteral("^%1-backup-.*\\.sqlite\\.(\\d{1,9})\\.part(-journal|-wal|-shm)?$")
            .arg(QRegularExpression::escape(company.completeBaseName())));
    const QDir folder = company.dir();
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QRegularExpressionMatch match = leftover.match(name);
        if (match.hasMatch() && !isAlive(match.captured(1).toLongLong())) {
            QFile::remove(folder.filePath(name));
        }
    }
}

// A backup is as private as the company file it copies, never less.
QFileDevice::Permissions backupPermissions(const QString& companyFile)
{
    const QFileDevice::Permissions kept =
        QFile::permissions(companyFile) &
        (QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
         QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther);
    return kept ? kept : QFileDevice::ReadOwner | QFileDevice::WriteOwner;
}

void openWithUri(ScopedDatabase& scoped, const QString& path)
{
    useUri(scoped.db(), path, OpenMode::ReadWrite, 5);
    if (!scoped.db().open()) {
        throw sqlFailure(QStringLiteral("Cannot open %1").arg(path), scoped.db().lastError());
    }
}

void attachReadOnly(QSqlDatabase& db, const QString& path, const QString& alias)
{
    QSqlQuery query(db);
    prepareOrThrow(query, QStringLiteral("ATTACH DATABASE ? AS %1").arg(alias));
    execOrThrow(query, {sqliteUri(path, OpenMode::ReadOnly)});
}

void copyCards(QSqlDatabase& db, const QStringList& types)
{
    execOrThrow(db, QStringLiteral("BEGIN"));
    dropCardIndexes(db);
    execOrThrow(db, QStringLiteral("DELETE FROM Information"));
    execOrThrow(db, QStringLiteral("INSERT INTO Information SELECT SchemaVersion, CountryCode, "
                                   "CompanyName FROM company.Information"));
    QSqlQuery cards(db);
    prepareOrThrow(cards, QStringLiteral("INSERT INTO Cards (%1) SELECT %1 FROM company.Cards "
                                         "WHERE CardTypeID IN (?, ?)")
                              .arg(cardSelectList()));
    execOrThrow(cards, {types.value(0), types.value(types.size() - 1)});
    execOrThrow(db, QStringLiteral("INSERT INTO Addresses (%1) SELECT %1 FROM company.Addresses "
                                   "WHERE CardRecordID IN (SELECT CardRecordID FROM Cards)")
                        .arg(addressSelectList()));
    createCardIndexes(db);
    execOrThrow(db, QStringLiteral("COMMIT"));
}

} // namespace

QString writeBackup(CConnection& connection, const QString& typeCode, const QStringList& types)
{
    const QString companyFile = connection.Settings().DataFile;
    removeLeftovers(companyFile);
    const QString path = newBackupPath(companyFile, typeCode);
    const QString part = partPath(path);
    bool created = false;
    try {
        createCompanyFile(
            part, NewCompanyFile{
                      connection.Settings().CountryCode(), {}, {}, backupPermissions(companyFile)});
        created = true;
        {
            ScopedDatabase scoped;
            openWithUri(scoped, part);
            attachReadOnly(scoped.db(), companyFile, QStringLiteral("company"));
            copyCards(scoped.db(), types);
        }
        if (!QFile::rename(part, path)) {
            throw brindle::PlatformError(brindle::ErrorNumber::PermissionDenied,
                                         QStringLiteral("cannot rename %1").arg(part));
        }
    } catch (const brindle::PlatformError& error) {
        if (created) {
            QFile::remove(part);
        }
        throw brindle::PlatformError(
            error.number(),
            QStringLiteral("Cannot write the backup %1: %2").arg(path, error.description()));
    }
    return path;
}

int restoreCards(const QString& companyFile, const QString& backupFile)
{
    if (!QFile::exists(companyFile) || !QFile::exists(backupFile)) {
        throw brindle::PlatformError(brindle::ErrorNumber::NotFound,
                                     QStringLiteral("Company file or backup not found"));
    }
    ScopedDatabase scoped;
    openWithUri(scoped, companyFile);
    QSqlDatabase& db = scoped.db();
    attachReadOnly(db, backupFile, QStringLiteral("saved"));
    try {
        execOrThrow(db, QStringLiteral("BEGIN IMMEDIATE"));
        execOrThrow(db, QStringLiteral("INSERT OR REPLACE INTO main.Cards (%1) SELECT %1 FROM "
                                       "saved.Cards")
                            .arg(cardSelectList()));
        execOrThrow(db, QStringLiteral("DELETE FROM main.Addresses WHERE CardRecordID IN "
                                       "(SELECT CardRecordID FROM saved.Cards)"));
        execOrThrow(db, QStringLiteral("INSERT INTO main.Addresses (%1) SELECT %1 FROM "
                                       "saved.Addresses")
                            .arg(addressSelectList()));
        execOrThrow(db, QStringLiteral("COMMIT"));
    } catch (const brindle::PlatformError&) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        throw;
    }
    QSqlQuery count(db);
    count.exec(QStringLiteral("SELECT count(*) FROM saved.Cards"));
    return count.next() ? count.value(0).toInt() : 0;
}

} // namespace TarvoCards
