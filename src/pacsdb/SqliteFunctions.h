#pragma once
#include <QSqlDatabase>

namespace vexa {

// Replaces SQLite's like() on this connection by one that folds the case of
// every letter, accented ones included (SQLite's own folds only A-Z), and
// adds SearchWords(name), the form the patient search compares.
// Returns false when the connection is not an open SQLite one.
bool InstallSqliteFunctions(QSqlDatabase& db);

} // namespace vexa
