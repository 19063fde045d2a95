#include "Backup.h"

#include "CompanyFile.h"
#include "Connection.h"
#include "Schema.h"
#include "SqlUtil.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>

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
    for (int n = 2; QFile::exists(path) || QFile::exists(path + QStringLiteral(".part")); ++n) {
        path = company.dir().filePath(QStringLiteral("%1-%2.sqlite").arg(stem).arg(n));
    }
    return path;
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
    const QString path = newBackupPath(companyFile, typeCode);
    const QString part = path + QStringLiteral(".part");
    bool created = false;
    try {
        createCompanyFile(part, NewCompanyFile{connection.Settings().CountryCode(), {}, {}});
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
