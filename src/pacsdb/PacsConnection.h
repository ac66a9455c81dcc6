#pragma once
// One connection per database path and thread, opened on first use: the
// user-interface thread's is shared by its record sets and queries; a worker
// thread gets its own, closed when that thread ends.
#include <QSqlDatabase>
#include <QString>

namespace vexa {

// The open connection to conquestPath; not open (and *error set) on failure.
QSqlDatabase pacsConnection(const QString& conquestPath, QString* error = nullptr);

// Closes and forgets the calling thread's connection to conquestPath (tests,
// change of settings).
void closePacsConnection(const QString& conquestPath);

} // namespace vexa
