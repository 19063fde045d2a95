#pragma once

// Where a benchmark's company file lives: base/company.sqlite, or, with
// BRINDLE_BENCH_SERVER set to an address with "%1" for the database name
// (scripts/bench.sh starts a private server), a database of its own there.
#include <QCryptographicHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

namespace brindle::bench {

inline QString serverAddress()
{
    return qEnvironmentVariable("BRINDLE_BENCH_SERVER");
}

inline QString databaseOf(const QString& base)
{
    return QStringLiteral("bench_") +
           QString::fromLatin1(
               QCryptographicHash::hash(base.toUtf8(), QCryptographicHash::Md5).toHex().left(16));
}

inline QString companyOf(const QString& base)
{
    return serverAddress().isEmpty() ? base + QStringLiteral("/company.sqlite")
                                     : serverAddress().arg(databaseOf(base));
}

// Runs one statement on the server's postgres database; no server, nothing.
inline void onServer(const QString& statement)
{
    if (serverAddress().isEmpty()) {
        return;
    }
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("admin"));
        const QString address = serverAddress().arg(QStringLiteral("postgres"));
        db.setHostName(address.section(QStringLiteral("host="), 1).section(u'&', 0, 0));
        db.setPort(address.section(QStringLiteral("port="), 1).section(u'&', 0, 0).toInt());
        db.setUserName(address.section(QStringLiteral("://"), 1).section(u'@', 0, 0));
        db.setDatabaseName(QStringLiteral("postgres"));
        if (!db.open() || !QSqlQuery(db).exec(statement)) {
            qFatal("%s: %s", qPrintable(statement), qPrintable(db.lastError().text()));
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("admin"));
}

inline void createCompany(const QString& base)
{
    onServer(QStringLiteral("CREATE DATABASE %1").arg(databaseOf(base)));
}

// A copy of base's company database for copy; the file was copied with its folder.
inline void copyCompany(const QString& base, const QString& copy)
{
    onServer(
        QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(databaseOf(copy), databaseOf(base)));
}

inline void dropCompany(const QString& base)
{
    onServer(QStringLiteral("DROP DATABASE %1").arg(databaseOf(base)));
}

} // namespace brindle::bench
