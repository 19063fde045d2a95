#include "CompanyFile.h"

#include "Connection.h"
#include "Dialect.h"
#include "Password.h"
#include "Schema.h"
#include "ServerAddress.h"
#include "ServerConnect.h"
#include "SqlUtil.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlError>

namespace TarvoCards {

namespace {

QByteArray randomSalt()
{
    QByteArray salt(16, '\0');
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()), salt.size() / 4);
    return salt;
}

void addUsers(QSqlDatabase& db, const QList<CompanyUser>& users)
{
    QSqlQuery insert(db);
    prepareOrThrow(insert, QStringLiteral("INSERT INTO Users (UserName, Salt, Rounds, "
                                          "PasswordHash) VALUES (?, ?, ?, ?)"));
    for (const CompanyUser& user : users) {
        if (user.rounds < 1 || user.rounds > maxPasswordRounds) {
            throw brindle::PlatformError(brindle::ErrorNumber::Unspecified,
                                         QStringLiteral("%1 rounds for %2: give 1 to %3")
                                             .arg(user.rounds)
                                             .arg(user.name)
                                             .arg(maxPasswordRounds));
        }
        const QByteArray salt = user.salt.isEmpty() ? randomSalt() : user.salt;
        execOrThrow(insert,
                    {user.name, salt, user.rounds, passwordHash(user.password, salt, user.rounds)});
    }
}

void fillNewFile(QSqlDatabase& db, const NewCompanyFile& newFile)
{
    if (!db.open()) {
        throw sqlFailure(QStringLiteral("Cannot fill the company file"), db.lastError());
    }
    execOrThrow(db, QStringLiteral("BEGIN"));
    createSchema(db, newFile.countryCode, newFile.companyName);
    addUsers(db, newFile.users);
    execOrThrow(db, QStringLiteral("COMMIT"));
}

// A database on a server is made by its administrator; Brindle fills it
// once, in one transaction, and never over a company file already there.
void fillServerDatabase(const QString& address, const NewCompanyFile& newFile)
{
    ScopedDatabase scoped(QStringLiteral("QPSQL"));
    QSqlDatabase& db = scoped.db();
    CConnectionSettings settings;
    settings.DataFile = address;
    openServerDatabase(db, settings, 5);
    QSqlQuery exists(db);
    if (!exists.exec(Dialect::of(db).tableExists(QStringLiteral("Cards"))) || !exists.next() ||
        exists.value(0).toInt() != 0) {
        throw brindle::PlatformError(
            brindle::ErrorNumber::PermissionDenied,
            QStringLiteral("Cannot create the company file %1: it holds one already")
                .arg(displayName(address)));
    }
    exists.finish();
    try {
        fillNewFile(db, newFile);
    } catch (const brindle::PlatformError&) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        throw;
    }
}

} // namespace

void createCompanyFile(const QString& path, const NewCompanyFile& newFile)
{
    if (ServerAddress::names(path)) {
        fillServerDatabase(path, newFile);
        return;
    }
    // Made here and only here, so that a failure removes no other program's file.
    QFile made(path);
    const QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::NewOnly;
    if (!(newFile.permissions ? made.open(mode, *newFile.permissions) : made.open(mode))) {
        throw brindle::PlatformError(
            QFileInfo::exists(path) ? brindle::ErrorNumber::PermissionDenied
                                    : brindle::ErrorNumber::Unspecified,
            QStringLiteral("Cannot create the company file %1: %2").arg(path, made.errorString()));
    }
    made.close();
    try {
        ScopedDatabase scoped;
        useUri(scoped.db(), path, OpenMode::ReadWrite, 0);
        fillNewFile(scoped.db(), newFile);
    } catch (const brindle::PlatformError&) {
        QFile::remove(path);
        throw;
    }
}

} // namespace TarvoCards
