#pragma once
// The program writes its SQL in the Jet (Access) dialect. This is the one
// place that turns such a text into the statements of the backend in use.
#include "pacsdb/ConquestSchema.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

namespace vexa {

// A value as a quoted Jet text literal: O'BRIEN gives 'O''BRIEN'. Values are
// only ever joined into texts through this, so no value can end a literal: a
// NUL is dropped and a lone UTF-16 surrogate becomes U+FFFD.
QString jetQuote(const QString& value);

// A date as a Jet date literal: #2024/01/31#.
QString jetDate(const QDate& date);

// Translates one Jet text. Most texts give one statement; adding a COUNTER
// column to an existing SQLite table gives several, to run in one transaction.
// - "DELETE * FROM" becomes "DELETE FROM";
// - #yyyy/mm/dd# becomes the backend's date literal;
// - LIKE patterns: "*" and "?" become "%" and "_" (a literal "%", "_" or "\"
//   is escaped) and the match ignores case (ILIKE on PostgreSQL; on SQLite
//   the connection's like() folds accented letters too, see SqliteFunctions);
// - in CREATE/ALTER TABLE: COUNTER, BIT, TEXT 255, DATETIME, INTEGER become
//   the backend's types;
// - SearchWords(column) becomes, on PostgreSQL, the expression of a name's
//   search words (see SearchWords.h); SQLite has it as a function;
// - a final ";" is dropped.
// Table and column names stay unquoted: PostgreSQL folds them to lower case,
// exactly as it does for Conquest's own unquoted statements, so both programs
// name the same tables.
QStringList translateJet(const QString& jet, SqlBackend backend);

// The table and column of an "ALTER TABLE t ADD COLUMN c COUNTER" text.
struct CounterColumn {
    QString table;
    QString column;
};
std::optional<CounterColumn> addedCounter(const QString& jet);

// On SQLite, the trigger that numbers each new row of table after the
// highest number ever given (a no-op when it exists), the table keeping
// those highest numbers, and the counter's index.
QString sqliteCounterTrigger(const QString& table, const QString& column);
QString sqliteCounterHighTable();
QString sqliteCounterIndex(const QString& table, const QString& column);

// The statements joined with "; " (for display and tests).
QString translateJetText(const QString& jet, SqlBackend backend);

} // namespace vexa
