#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace TarvoCards {

// A company file on a database server, named by a libpq URI:
// postgresql://[user[:password]@][host][:port]/dbname[?key=value&...]
// ("host=/run/postgresql" in the query names a local socket folder).
struct ServerAddress
{
    QString host;
    int port = -1;
    QString database;
    QString user;
    QString password;
    QStringList options; // libpq keywords as key='value'

    // True when dataFile names a server rather than a file.
    static bool names(const QString& dataFile);
    // Throws brindle::PlatformError when the URI cannot be read.
    static ServerAddress parse(const QString& dataFile);

    // The URI without its password, for messages and logs.
    QString display() const;
    // Sets db up to open the database; waitSeconds bounds the connection attempt.
    void applyTo(QSqlDatabase& db, int waitSeconds, const QString& applicationName) const;
};

// dataFile as a message may show it: a server's password left out.
QString displayName(const QString& dataFile);

} // namespace TarvoCards
