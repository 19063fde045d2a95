#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace TarvoCards {

// What the company file's SQL says differently on SQLite and on PostgreSQL.
// Everything else the library writes is the same on both.
struct Dialect
{
    bool server;
    const char* text;         // a text column's type, sorting as SQLite's BINARY
    const char* recordIdKey;  // a key whose values are never handed out again
    const char* tableOptions; // after a table's closing parenthesis
    const char* bytes;
    const char* userNameKey; // compared without case
    const char* userNameIndex;
    const char* badRounds; // the condition on Users of a damaged round count
    QStringList readOnlyBegin, readOnlyEnd;

    static const Dialect& of(const QSqlDatabase& db);

    // A query giving 1 when the table exists, else 0.
    QString tableExists(const QString& table) const;
    // Begins a transaction that holds the write lock, waiting up to
    // waitSeconds for another writer; throws naming the holder on a server.
    void beginWrite(QSqlDatabase& db, int waitSeconds, const QString& name) const;
    // Begins a transaction whose reads see one moment of the file (a server
    // only: a file's readers and its one writer never meet mid-transaction).
    void beginSnapshot(QSqlDatabase& db) const;
    void endSnapshot(QSqlDatabase& db) const;
};

} // namespace TarvoCards
