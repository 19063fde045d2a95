#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariantList>

struct sqlite3_stmt;

namespace TarvoCards {

// The rows of one query in order, each value read as text or a number. On
// an SQLite file it reads SQLite's own UTF-8 text: the driver turns every
// value into UTF-16 and a variant first, which took most of a large load.
// A failure to read a row raises rather than ending the rows early.
class RowCursor
{
public:
    RowCursor(QSqlDatabase& db, const QString& sql, const QVariantList& values);
    ~RowCursor();
    Q_DISABLE_COPY(RowCursor)

    bool next();
    // Empty text is empty, NULL is a null string.
    QString text(int column) const;
    int number(int column) const;

private:
    void prepareNative(void* handle, const QString& sql, const QVariantList& values);
    void bind(int index, const QVariant& value);

    QSqlQuery m_query; // drivers other than SQLite
    sqlite3_stmt* m_statement = nullptr;
};

} // namespace TarvoCards
