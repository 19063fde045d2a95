#include "RowCursor.h"

#include "SqlUtil.h"

#include <QLocale>
#include <QSqlDriver>
#include <QSqlError>
#include <sqlite3.h>

namespace TarvoCards {

namespace {

brindle::PlatformError nativeFailure(const QString& what, sqlite3* db)
{
    return brindle::PlatformError(
        brindle::ErrorNumber::Unspecified,
        QStringLiteral("%1: %2").arg(what, QString::fromUtf8(sqlite3_errmsg(db))));
}

sqlite3* sqliteHandle(const QSqlDatabase& db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        return nullptr;
    }
    return *static_cast<sqlite3* const*>(handle.constData());
}

} // namespace

RowCursor::RowCursor(QSqlDatabase& db, const QString& sql, const QVariantList& values) : m_query(db)
{
    if (sqlite3* handle = sqliteHandle(db)) {
        prepareNative(handle, sql, values);
        return;
    }
    prepareOrThrow(m_query, sql);
    execOrThrow(m_query, values);
}

RowCursor::~RowCursor()
{
    sqlite3_finalize(m_statement);
}

void RowCursor::prepareNative(void* handle, const QString& sql, const QVariantList& values)
{
    auto* db = static_cast<sqlite3*>(handle);
    const QByteArray utf8 = sql.toUtf8();
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &m_statement, &tail) !=
        SQLITE_OK) {
        throw nativeFailure(QStringLiteral("The company file cannot run a query"), db);
    }
    // As the driver does: a condition may not smuggle in a second statement.
    if (!QByteArrayView(tail, utf8.constData() + utf8.size() - tail).trimmed().isEmpty()) {
        throw brindle::PlatformError(
            brindle::ErrorNumber::Unspecified,
            QStringLiteral("The company file cannot run a query: more than one statement"));
    }
    for (int i = 0; i < values.size(); ++i) {
        bind(i + 1, values.at(i));
    }
}

// As bindValues: a null text binds as empty text.
void RowCursor::bind(int index, const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Bool:
        sqlite3_bind_int64(m_statement, index, value.toLongLong());
        return;
    case QMetaType::Double:
        sqlite3_bind_double(m_statement, index, value.toDouble());
        return;
    default:
        if (value.isNull() && value.typeId() != QMetaType::QString) {
            sqlite3_bind_null(m_statement, index);
            return;
        }
        const QByteArray text = value.toString().toUtf8();
        sqlite3_bind_text(m_statement, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
}

bool RowCursor::next()
{
    if (!m_statement) {
        if (m_query.next()) {
            return true;
        }
        if (m_query.lastError().isValid()) {
            throw sqlFailure(QStringLiteral("The company file cannot be read"),
                             m_query.lastError());
        }
        return false;
    }
    const int result = sqlite3_step(m_statement);
    if (result == SQLITE_ROW) {
        return true;
    }
    if (result != SQLITE_DONE) {
        throw nativeFailure(QStringLiteral("The company file cannot be read"),
                            sqlite3_db_handle(m_statement));
    }
    return false;
}

QString RowCursor::text(int column) const
{
    if (!m_statement) {
        return m_query.value(column).toString();
    }
    // Text columns hold text; a number another program stored reads as the driver reads it.
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_NULL:
        return QString();
    case SQLITE_INTEGER:
        return QString::number(sqlite3_column_int64(m_statement, column));
    case SQLITE_FLOAT:
        return QString::number(sqlite3_column_double(m_statement, column), 'g',
                               QLocale::FloatingPointShortest);
    default:
        const auto* utf8 = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
        return QString::fromUtf8(utf8, sqlite3_column_bytes(m_statement, column));
    }
}

int RowCursor::number(int column) const
{
    return m_statement ? sqlite3_column_int(m_statement, column) : m_query.value(column).toInt();
}

} // namespace TarvoCards
