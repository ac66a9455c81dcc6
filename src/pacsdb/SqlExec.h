#pragma once
// Running Jet texts on a connection, and write transactions that wait their
// turn when Conquest is writing.
#include "pacsdb/ConquestSchema.h"

#include <QSqlError>
#include <QSqlQuery>

namespace vexa {

// Translates and runs a Jet text. Several statements run in one transaction.
QSqlError execJet(QSqlDatabase& db, const QString& jet);

// Translates and runs a Jet SELECT on query (forward only). False on failure,
// the error in query.lastError().
bool selectJet(const QSqlDatabase& db, QSqlQuery& query, const QString& jet);

// "Column or table already exists", the failure the upgrade passes over.
bool isAlreadyExists(const QSqlError& error, SqlBackend backend);

// A write transaction. On SQLite it takes the write lock at once (BEGIN
// IMMEDIATE), waiting through the busy timeout, so it never fails half-way
// because a reader must be upgraded to a writer. On failure *error (when
// given) holds the description.
bool beginWrite(QSqlDatabase& db, QString* error = nullptr);
bool commitWrite(QSqlDatabase& db, QString* error = nullptr);
void rollbackWrite(QSqlDatabase& db);

// The value as the backend stores it: true as -1, dates as ISO text on SQLite
// (so they compare and sort as dates), everything else as it is.
QVariant toStored(const QVariant& value, SqlBackend backend);

// The failure of a write keyed by Compteur that reached no row.
QString keyedWriteMissedText(const QVariant& compteur);

// A date column's value as a date; invalid when it holds none.
QDate storedDate(const QVariant& value);

} // namespace vexa
