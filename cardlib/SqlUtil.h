#pragma once

#include "platform/PlatformError.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariantList>

namespace TarvoCards {

// Failures of the file itself carry this number; the text says what SQLite said.
brindle::PlatformError sqlFailure(const QString& what, const QSqlError& error);

void execOrThrow(QSqlDatabase& db, const QString& sql);
void prepareOrThrow(QSqlQuery& query, const QString& sql);
// Binds the values in order and runs the prepared query.
void execOrThrow(QSqlQuery& query, const QVariantList& values);

// A file URI SQLite opens without creating a missing file.
QString sqliteUri(const QString& path, bool readOnly);

// A QtSql connection under a name of its own, removed when this goes.
// Queries on it must be gone first.
class ScopedDatabase
{
public:
    ScopedDatabase();
    ~ScopedDatabase();
    ScopedDatabase(const ScopedDatabase&) = delete;
    ScopedDatabase& operator=(const ScopedDatabase&) = delete;

    QSqlDatabase& db() { return m_db; }

private:
    QString m_name;
    QSqlDatabase m_db;
};

} // namespace TarvoCards
