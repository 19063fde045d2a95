#include "ServerConnect.h"

#include "ServerAddress.h"

#include <QSqlError>

namespace TarvoCards {

namespace {

using brindle::PlatformError;
namespace ErrorNumber = brindle::ErrorNumber;

// libpq's own words after "FATAL:", or its whole message.
QString serverWords(const QSqlError& error)
{
    QString text = error.databaseText().trimmed();
    const qsizetype fatal = text.indexOf(QLatin1String("FATAL:"));
    if (fatal >= 0) {
        text = text.mid(fatal + 6).trimmed();
    }
    return text.section(u'\n', 0, 0);
}

PlatformError connectFailure(const ServerAddress& address, const QSqlError& error)
{
    const QString words = serverWords(error);
    const QString where = address.display();
    if (words.contains(QLatin1String("password")) ||
        (words.contains(QLatin1String("role")) &&
         words.contains(QLatin1String("does not exist"))) ||
        words.contains(QLatin1String("no pg_hba.conf entry")) ||
        words.contains(QLatin1String("permission denied"))) {
        return PlatformError(
            ErrorNumber::PermissionDenied,
            QStringLiteral("The database server refused the login to %1: %2").arg(where, words));
    }
    if (words.contains(QLatin1String("database")) &&
        words.contains(QLatin1String("does not exist"))) {
        return PlatformError(ErrorNumber::NotFound,
                             QStringLiteral("Company database not found: the server has no "
                                            "database %1 (%2)")
                                 .arg(address.database, where));
    }
    return PlatformError(
        ErrorNumber::Unspecified,
        QStringLiteral("The database server of %1 does not answer: %2").arg(where, words));
}

bool wantsPassword(const QSqlError& error)
{
    return serverWords(error).contains(QLatin1String("no password supplied"));
}

} // namespace

void openServerDatabase(QSqlDatabase& db, const CConnectionSettings& settings, int waitSeconds)
{
    ServerAddress address = ServerAddress::parse(settings.DataFile);
    const QString application = settings.Username.isEmpty()
                                    ? QStringLiteral("Brindle")
                                    : QStringLiteral("Brindle (%1)").arg(settings.Username);
    address.applyTo(db, waitSeconds, application);
    if (db.open()) {
        return;
    }
    if (address.password.isEmpty() && !settings.Password.isEmpty() &&
        wantsPassword(db.lastError())) {
        address.password = settings.Password;
        address.applyTo(db, waitSeconds, application);
        if (db.open()) {
            return;
        }
    }
    throw connectFailure(address, db.lastError());
}

} // namespace TarvoCards
