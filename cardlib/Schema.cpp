#include "Schema.h"

#include "Dialect.h"
#include "SqlUtil.h"

#include <QSqlQuery>
#include <QStringList>

namespace TarvoCards {

namespace {

template <typename Record> QStringList columnNames(std::span<const CardField<Record>> columns)
{
    QStringList names;
    for (const auto& column : columns) {
        names << QLatin1String(column.name);
    }
    return names;
}

template <typename Record>
QString textColumnsDdl(const Dialect& dialect, std::span<const CardField<Record>> columns)
{
    QStringList lines;
    for (const auto& column : columns) {
        lines << QStringLiteral("  %1 %2 NOT NULL DEFAULT '%3'")
                     .arg(QLatin1String(column.name), QLatin1String(dialect.text),
                          QLatin1String(column.defaultValue));
    }
    return lines.join(QStringLiteral(",\n"));
}

// The look-ups of the import: by identification and by name within a type.
struct CardsTableIndex
{
    const char* name;
    const char* columns;
};
constexpr CardsTableIndex cardIndexes[] = {
    {"CardsByIdentification", "CardTypeID, CardIdentification"},
    {"CardsByName", "CardTypeID, LastName, FirstName"},
};

// A card's record ID and type, then the given columns.
QString cardIdentityAnd(const QStringList& columns)
{
    return (QStringList{QStringLiteral("CardRecordID"), QStringLiteral("CardTypeID")} + columns)
        .join(QStringLiteral(", "));
}

} // namespace

QStringList cardTextColumnNames()
{
    return columnNames(cardColumns()) + columnNames(deliveryColumns());
}

QStringList addressTextColumnNames()
{
    return columnNames(addressColumns());
}

QString cardSelectList()
{
    return cardIdentityAnd(cardTextColumnNames());
}

QString deliverySelectList()
{
    return cardIdentityAnd(columnNames(deliveryColumns()));
}

QString addressSelectList()
{
    return (QStringList{QStringLiteral("CardRecordID"), QStringLiteral("Location")} +
            addressTextColumnNames())
        .join(QStringLiteral(", "));
}

void dropCardIndexes(QSqlDatabase& db)
{
    for (const CardsTableIndex& index : cardIndexes) {
        execOrThrow(db, QStringLiteral("DROP INDEX %1").arg(QLatin1String(index.name)));
    }
}

void createCardIndexes(QSqlDatabase& db)
{
    for (const CardsTableIndex& index : cardIndexes) {
        execOrThrow(db, QStringLiteral("CREATE INDEX %1 ON Cards (%2)")
                            .arg(QLatin1String(index.name), QLatin1String(index.columns)));
    }
}

void createSchema(QSqlDatabase& db, int countryCode, const QString& companyName)
{
    const Dialect& dialect = Dialect::of(db);
    const QString text = QLatin1String(dialect.text);
    // A deleted card's record ID is never handed out again, because
    // contacts keep record IDs as their link to a card.
    const QString cards =
        QStringLiteral("CREATE TABLE Cards (\n"
                       "  CardRecordID %1,\n"
                       "  CardTypeID %2 NOT NULL CHECK (CardTypeID IN ('C','S','V','E','P')),\n"
                       "%3,\n%4,\n"
                       "  CHECK (IsIndividual IN ('Y','N')),\n"
                       "  CHECK (IsInactive IN ('Y','N')))")
            .arg(QLatin1String(dialect.recordIdKey), text, textColumnsDdl(dialect, cardColumns()),
                 textColumnsDdl(dialect, deliveryColumns()));
    const QString addresses =
        QStringLiteral("CREATE TABLE Addresses (\n"
                       "  CardRecordID INTEGER NOT NULL REFERENCES Cards ON DELETE CASCADE,\n"
                       "  Location INTEGER NOT NULL CHECK (Location BETWEEN 1 AND 5),\n"
                       "%1,\n"
                       "  PRIMARY KEY (CardRecordID, Location))%2")
            .arg(textColumnsDdl(dialect, addressColumns()), QLatin1String(dialect.tableOptions));
    const QString statements[] = {
        QStringLiteral("CREATE TABLE Information (SchemaVersion INTEGER NOT NULL, "
                       "CountryCode INTEGER NOT NULL, CompanyName %1 NOT NULL DEFAULT '')")
            .arg(text),
        cards,
        addresses,
        QStringLiteral("CREATE TABLE Users (UserName %1, Salt %2 NOT NULL, Rounds INTEGER NOT "
                       "NULL, PasswordHash %2 NOT NULL)")
            .arg(QLatin1String(dialect.userNameKey), QLatin1String(dialect.bytes)),
        QLatin1String(dialect.userNameIndex),
    };
    for (const QString& statement : statements) {
        if (!statement.isEmpty()) {
            execOrThrow(db, statement);
        }
    }
    createCardIndexes(db);
    QSqlQuery info(db);
    prepareOrThrow(info, QStringLiteral("INSERT INTO Information (SchemaVersion, CountryCode, "
                                        "CompanyName) VALUES (?, ?, ?)"));
    execOrThrow(info, {schemaVersion, countryCode, companyName});
}

QString schemaColumnName(const QString& name)
{
    static const QStringList known =
        QStringList{QStringLiteral("CardRecordID"), QStringLiteral("CardTypeID"),
                    QStringLiteral("Location")} +
        cardTextColumnNames() + addressTextColumnNames();
    for (const QString& column : known) {
        if (column.compare(name, Qt::CaseInsensitive) == 0) {
            return column;
        }
    }
    return name;
}

} // namespace TarvoCards
