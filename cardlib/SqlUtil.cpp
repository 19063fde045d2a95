#include "SqlUtil.h"

#include <QSqlError>
#include <QUrl>
#include <atomic>

namespace TarvoCards {

brindle::PlatformError sqlFailure(const QString& what, const QSqlError& error)
{
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

void execOrThrow(QSqlQuery& query, const QVariantList& values)
{
    for (int i = 0; i < values.size(); ++i) {
        const QVariant& value = values.at(i);
        // A null QString binds as SQL NULL; the file keeps empty text instead.
        const bool nullText = value.typeId() == QMetaType::QString && value.toString().isNull();
        query.bindValue(i, nullText ? QVariant(QStringLiteral("")) : value);
    }
    if (!query.exec()) {
        throw sqlFailure(QStringLiteral("The company file refused a change"), query.lastError());
    }
}

QString sqliteUri(const QString& path, bool readOnly)
{
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) +
           (readOnly ? QStringLiteral("?mode=ro") : QStringLiteral("?mode=rw"));
}

ScopedDatabase::ScopedDatabase()
{
    static std::atomic<int> counter = 0;
    m_name = QStringLiteral("tarvocards-%1").arg(++counter);
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
}

ScopedDatabase::~ScopedDatabase()
{
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

} // namespace TarvoCards
