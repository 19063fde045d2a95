#include "CompanyFile.h"

#include "Password.h"
#include "Schema.h"
#include "SqlUtil.h"

#include <QFile>
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
        const QByteArray salt = user.salt.isEmpty() ? randomSalt() : user.salt;
        execOrThrow(insert,
                    {user.name, salt, user.rounds, passwordHash(user.password, salt, user.rounds)});
    }
}

void fillNewFile(QSqlDatabase& db, const NewCompanyFile& newFile)
{
    if (!db.open()) {
        throw sqlFailure(QStringLiteral("Cannot create the company file"), db.lastError());
    }
    execOrThrow(db, QStringLiteral("BEGIN"));
    createSchema(db, newFile.countryCode, newFile.companyName);
    addUsers(db, newFile.users);
    execOrThrow(db, QStringLiteral("COMMIT"));
}

} // namespace

void createCompanyFile(const QString& path, const NewCompanyFile& newFile)
{
    if (QFile::exists(path)) {
        throw brindle::PlatformError(brindle::ErrorNumber::PermissionDenied,
                                     QStringLiteral("%1 exists already").arg(path));
    }
    try {
        ScopedDatabase scoped;
        scoped.db().setDatabaseName(path);
        fillNewFile(scoped.db(), newFile);
    } catch (const brindle::PlatformError&) {
        QFile::remove(path);
        throw;
    }
}

} // namespace TarvoCards
