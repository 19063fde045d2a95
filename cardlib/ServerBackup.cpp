#include "ServerBackup.h"

#include "Connection.h"
#include "Dialect.h"
#include "Schema.h"
#include "ServerAddress.h"
#include "ServerConnect.h"
#include "SqlUtil.h"

#include <QDateTime>
#include <QRegularExpression>

namespace TarvoCards {

namespace {

QVariant singleValue(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery query(db);
    prepareOrThrow(query, sql);
    execOrThrow(query, {});
    return query.next() ? query.value(0) : QVariant();
}

// The time names the backup; the server process keeps two runs in one
// second apart.
QString newSchemaName(QSqlDatabase& db, const QString& typeCode)
{
    const QString stem =
        QStringLiteral("brindle_backup_%1_%2_%3")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss")),
                 typeCode.toLower(),
                 singleValue(db, QStringLiteral("SELECT pg_backend_pid()")).toString());
    QString name = stem;
    for (int n = 2; singleValue(db, QStringLiteral("SELECT count(*) FROM pg_namespace WHERE "
                                                   "nspname = '%1'")
                                        .arg(name))
                        .toInt() > 0;
         ++n) {
        name = QStringLiteral("%1_%2").arg(stem).arg(n);
    }
    return name;
}

void copyInto(QSqlDatabase& db, const QString& source, const QStringList& types)
{
    createSchema(db, 0, QString());
    execOrThrow(db, QStringLiteral("DELETE FROM Information"));
    execOrThrow(db, QStringLiteral("INSERT INTO Information SELECT SchemaVersion, CountryCode, "
                                   "CompanyName FROM %1.Information")
                        .arg(source));
    QSqlQuery cards(db);
    prepareOrThrow(cards, QStringLiteral("INSERT INTO Cards (%1) SELECT %1 FROM %2.Cards "
                                         "WHERE CardTypeID IN (?, ?)")
                              .arg(cardSelectList(), source));
    execOrThrow(cards, {types.value(0), types.value(types.size() - 1)});
    execOrThrow(db, QStringLiteral("INSERT INTO Addresses (%1) SELECT %1 FROM %2.Addresses "
                                   "WHERE CardRecordID IN (SELECT CardRecordID FROM Cards)")
                        .arg(addressSelectList(), source));
}

QString quotedName(const QString& name)
{
    static const QRegularExpression plain(QStringLiteral("^[a-z_][a-z0-9_]*$"));
    if (!plain.match(name).hasMatch()) {
        throw brindle::PlatformError(brindle::ErrorNumber::NotFound,
                                     QStringLiteral("%1 names no backup").arg(name));
    }
    return name;
}

void restoreFrom(QSqlDatabase& db, const QString& schema)
{
    QStringList replaced;
    const QStringList columns = cardTextColumnNames() << QStringLiteral("CardTypeID");
    for (const QString& column : columns) {
        replaced << QStringLiteral("%1 = excluded.%1").arg(column);
    }
    execOrThrow(db, QStringLiteral("INSERT INTO Cards (%1) SELECT %1 FROM %2.Cards ON CONFLICT "
                                   "(CardRecordID) DO UPDATE SET %3")
                        .arg(cardSelectList(), schema, replaced.join(QStringLiteral(", "))));
    execOrThrow(db, QStringLiteral("DELETE FROM Addresses WHERE CardRecordID IN "
                                   "(SELECT CardRecordID FROM %1.Cards)")
                        .arg(schema));
    execOrThrow(db, QStringLiteral("INSERT INTO Addresses (%1) SELECT %1 FROM %2.Addresses")
                        .arg(addressSelectList(), schema));
}

} // namespace

QString writeServerBackup(QSqlDatabase& db, const QString& typeCode, const QStringList& types)
{
    QString schema = QStringLiteral("a new backup schema");
    try {
        // One moment of the cards, while other imports go on writing.
        execOrThrow(db, QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ"));
        schema = newSchemaName(db, typeCode);
        const QString source =
            singleValue(db, QStringLiteral("SELECT current_schema()")).toString();
        execOrThrow(db, QStringLiteral("CREATE SCHEMA %1").arg(schema));
        execOrThrow(db, QStringLiteral("SET LOCAL search_path = %1").arg(schema));
        copyInto(db, QStringLiteral("\"%1\"").arg(source), types);
        execOrThrow(db, QStringLiteral("COMMIT"));
    } catch (const brindle::PlatformError& error) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        throw brindle::PlatformError(
            error.number(),
            QStringLiteral("Cannot write the backup %1: %2").arg(schema, error.description()));
    }
    return schema;
}

int restoreServerCards(const QString& address, const QString& schema)
{
    const QString name = quotedName(schema);
    ScopedDatabase scoped(QStringLiteral("QPSQL"));
    QSqlDatabase& db = scoped.db();
    CConnectionSettings settings;
    settings.DataFile = address;
    openServerDatabase(db, settings, 5);
    const int count =
        singleValue(db, QStringLiteral("SELECT count(*) FROM %1.Cards").arg(name)).toInt();
    try {
        Dialect::of(db).beginWrite(db, 30, displayName(address));
        restoreFrom(db, name);
        execOrThrow(db, QStringLiteral("COMMIT"));
    } catch (const brindle::PlatformError&) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        throw;
    }
    return count;
}

} // namespace TarvoCards
