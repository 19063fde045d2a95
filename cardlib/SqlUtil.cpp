#include "SqlUtil.h"

#include <QFileInfo>
#include <QSqlError>
#include <QStringList>
#include <QUrl>
#include <atomic>

namespace TarvoCards {

brindle::PlatformError sqlFailure(const QString& what, const QSqlError& error)
{
    // A server shut down, restarted or out of reach: the transaction is gone with it.
    const QString code = error.nativeErrorCode();
    if (code.startsWith(QLatin1String("57P")) || code.startsWith(QLatin1String("08")) ||
        error.text().contains(QLatin1String("no connection to the server")) ||
        error.text().contains(QLatin1String("server closed the connection"))) {
        return brindle::PlatformError(
            brindle::ErrorNumber::Unspecified,
            QStringLiteral("The database server ended the connection; what was not committed "
                           "is rolled back: %1")
                .arg(error.databaseText().simplified()));
    }
    return brindle::PlatformError(brindle::ErrorNumber::Unspecified,
                                  QStringLiteral("%1: %2").arg(what, error.text()));
}

void execOrThrow(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery query(db);
    if (!query.exec(sql)) {
        throw sqlFailure(QStringLiteral("The company file refused a change"), query.lastError());
    }
}

void prepareOrThrow(QSqlQuery& query, const QString& sql)
{
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        throw sqlFailure(QStringLiteral("The company file cannot run a query"), query.lastError());
    }
}

void bindValues(QSqlQuery& query, const QVariantList& values)
{
    for (int i = 0; i < values.size(); ++i) {
        const QVariant& value = values.at(i);
        const bool nullText = value.typeId() == QMetaType::QString && value.toString().isNull();
        query.bindValue(i, nullText ? QVariant(QStringLiteral("")) : value);
    }
}

void execOrThrow(QSqlQuery& query, const QVariantList& values)
{
    bindValues(query, values);
    if (!query.exec()) {
        throw sqlFailure(QStringLiteral("The company file refused a change"), query.lastError());
    }
}

QString placeholders(qsizetype count)
{
    return QStringList(count, QStringLiteral("?")).join(QStringLiteral(", "));
}

QString sqliteUri(const QString& path, OpenMode mode)
{
    static const char* const modes[] = {"ro", "rw", "rwc"};
    // An empty authority: the path follows "file://" whole, leading "//" included.
    const QByteArray encoded = QUrl::toPercentEncoding(QFileInfo(path).absoluteFilePath(), "/");
    return QStringLiteral("file://%1?mode=%2")
        .arg(QString::fromLatin1(encoded), QLatin1String(modes[int(mode)]));
}

void useUri(QSqlDatabase& db, const QString& path, OpenMode mode, int busySeconds)
{
    db.setDatabaseName(sqliteUri(path, mode));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1%2")
                             .arg(qBound(0, busySeconds, 86400) * 1000)
                             .arg(mode == OpenMode::ReadOnly
                                      ? QStringLiteral(";QSQLITE_OPEN_READONLY")
                                      : QString()));
}

ScopedDatabase::ScopedDatabase(const QString& driver)
{
    static std::atomic<int> counter = 0;
    m_name = QStringLiteral("tarvocards-%1").arg(++counter);
    m_db = QSqlDatabase::addDatabase(driver, m_name);
}

ScopedDatabase::~ScopedDatabase()
{
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

} // namespace TarvoCards
