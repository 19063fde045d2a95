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
// Binds the values in order; a null text binds as empty text, which the
// file keeps where SQL would store NULL.
void bindValues(QSqlQuery& query, const QVariantList& values);
// Binds the values in order and runs the prepared query.
void execOrThrow(QSqlQuery& query, const QVariantList& values);
// "?, ?, ?" for count values.
QString placeholders(qsizetype count);

// How SQLite may open a file: read-only, read-write, or read-write and create.
enum class OpenMode
{
    ReadOnly,
    ReadWrite,
    Create
};

// The file URI of a path, so that SQLite never reads a file name as a URI of
// its own ("file:a.db?vfs=...") and a path beginning "//" stays a path.
QString sqliteUri(const QString& path, OpenMode mode);
// Points db at the file through its URI, waiting up to busySeconds (at most a
// day) for a file another program holds locked; open it next.
void useUri(QSqlDatabase& db, const QString& path, OpenMode mode, int busySeconds);

// A QtSql connection under a name of its own, removed when this goes.
// Queries on it must be gone first.
class ScopedDatabase
{
public:
    explicit ScopedDatabase(const QString& driver = QStringLiteral("QSQLITE"));
    ~ScopedDatabase();
    Q_DISABLE_COPY(ScopedDatabase)

    QSqlDatabase& db() { return m_db; }

private:
    QString m_name;
    QSqlDatabase m_db;
};

} // namespace TarvoCards
