#pragma once

#include "CardFields.h"

#include <QSqlDatabase>
#include <QString>

namespace TarvoCards {

// The company-file layout this library reads and writes; a file with a
// higher SchemaVersion was made by a newer library and is refused.
constexpr int schemaVersion = 1;

constexpr int countryAustralia = 1;
constexpr int countryUnitedStates = 2;

// The text columns of Cards (card and delivery columns) and of Addresses.
QStringList cardTextColumnNames();
QStringList addressTextColumnNames();

// "CardRecordID, CardTypeID, CardIdentification, ..." for a SELECT.
QString cardSelectList();
// Record ID, type and the delivery settings.
QString deliverySelectList();
QString addressSelectList();

// Creates the tables of an empty company file on an open database.
void createSchema(QSqlDatabase& db, int countryCode, const QString& companyName);

// A column's name as the schema spells it: a server gives names in lower case.
QString schemaColumnName(const QString& name);

// The indexes of Cards, dropped and made again around a bulk copy: made
// once over all rows, they cost a third less than kept up row by row.
void dropCardIndexes(QSqlDatabase& db);
void createCardIndexes(QSqlDatabase& db);

} // namespace TarvoCards
