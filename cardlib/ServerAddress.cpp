#include "ServerAddress.h"

#include "platform/PlatformError.h"

#include <QRegularExpression>
#include <QUrl>

namespace TarvoCards {

namespace {

QString decoded(const QString& part)
{
    return QUrl::fromPercentEncoding(part.toUtf8());
}

// A conninfo value in quotes, so spaces and quotes stay inside it.
QString quoted(QString value)
{
    value.replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("\\'"));
    return u'\'' + value + u'\'';
}

brindle::PlatformError unreadable(const QString& why)
{
    return brindle::PlatformError(
        brindle::ErrorNumber::CannotParse,
        QStringLiteral("The database address cannot be read: %1").arg(why));
}

void readHostPort(const QString& hostPort, ServerAddress& address)
{
    static const QRegularExpression form(QStringLiteral("^(\\[[^\\]]*\\]|[^:]*)(?::(\\d*))?$"));
    const auto match = form.match(hostPort);
    if (!match.hasMatch()) {
        throw unreadable(QStringLiteral("the host and port \"%1\"").arg(hostPort));
    }
    address.host = decoded(match.captured(1).remove(u'[').remove(u']'));
    if (!match.captured(2).isEmpty()) {
        address.port = match.captured(2).toInt();
    }
}

void readQuery(const QString& query, ServerAddress& address)
{
    for (const QString& pair : query.split(u'&', Qt::SkipEmptyParts)) {
        const qsizetype equals = pair.indexOf(u'=');
        if (equals <= 0) {
            throw unreadable(QStringLiteral("the parameter \"%1\"").arg(decoded(pair)));
        }
        const QString key = decoded(pair.left(equals));
        const QString value = decoded(pair.mid(equals + 1));
        if (key == QLatin1String("host")) {
            address.host = value;
        } else if (key == QLatin1String("port")) {
            address.port = value.toInt();
        } else if (key == QLatin1String("user")) {
            address.user = value;
        } else if (key == QLatin1String("password")) {
            address.password = value;
        } else if (key == QLatin1String("dbname")) {
            address.database = value;
        } else {
            address.options << key + u'=' + quoted(value);
        }
    }
}

} // namespace

bool ServerAddress::names(const QString& dataFile)
{
    return dataFile.startsWith(QLatin1String("postgresql://")) ||
           dataFile.startsWith(QLatin1String("postgres://"));
}

ServerAddress ServerAddress::parse(const QString& dataFile)
{
    static const QRegularExpression form(
        QStringLiteral("^postgres(?:ql)?://(?:([^@/?]*)@)?([^/?]*)(?:/([^?]*))?(?:\\?(.*))?$"));
    const auto match = form.match(dataFile);
    if (!match.hasMatch()) {
        throw unreadable(QStringLiteral("give postgresql://[user@]host[:port]/dbname"));
    }
    ServerAddress address;
    const QString userInfo = match.captured(1);
    const qsizetype colon = userInfo.indexOf(u':');
    address.user = decoded(userInfo.left(colon));
    if (colon >= 0) {
        address.password = decoded(userInfo.mid(colon + 1));
    }
    readHostPort(match.captured(2), address);
    address.database = decoded(match.captured(3));
    readQuery(match.captured(4), address);
    if (address.database.isEmpty()) {
        throw unreadable(QStringLiteral("it names no database"));
    }
    return address;
}

QString ServerAddress::display() const
{
    QString text = QStringLiteral("postgresql://");
    if (!user.isEmpty()) {
        text += user + u'@';
    }
    text += host.startsWith(u'/') ? QString() : host;
    if (port > 0) {
        text += u':' + QString::number(port);
    }
    text += u'/' + database;
    if (host.startsWith(u'/')) {
        text += QStringLiteral("?host=") + host;
    }
    return text;
}

void ServerAddress::applyTo(QSqlDatabase& db, int waitSeconds, const QString& applicationName) const
{
    db.setHostName(host);
    db.setPort(port);
    db.setDatabaseName(database);
    db.setUserName(user);
    db.setPassword(password);
    QStringList all = options;
    all << QStringLiteral("connect_timeout=%1").arg(qBound(2, waitSeconds, 86400))
        << QStringLiteral("application_name=") + quoted(applicationName);
    db.setConnectOptions(all.join(u';'));
}

QString displayName(const QString& dataFile)
{
    if (!ServerAddress::names(dataFile)) {
        return dataFile;
    }
    try {
        return ServerAddress::parse(dataFile).display();
    } catch (const brindle::PlatformError&) {
        return QStringLiteral("postgresql://...");
    }
}

} // namespace TarvoCards
