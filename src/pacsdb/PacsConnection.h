#pragma once
// One shared connection per database path, opened on first use, for the
// record sets and queries of the user-interface thread.
#include <QSqlDatabase>
#include <QString>

namespace vexa {

// The open connection to conquestPath; not open (and *error set) on failure.
QSqlDatabase PacsConnection(const QString& conquestPath, QString* error = nullptr);

// Closes and forgets the connection to conquestPath (tests, change of settings).
void ClosePacsConnection(const QString& conquestPath);

} // namespace vexa
