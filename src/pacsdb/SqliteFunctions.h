#pragma once
#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace vexa {

// Replaces SQLite's like() on this connection by one that folds the case of
// every letter, accented ones included (SQLite's own folds only A-Z), and
// adds SearchWords(name), the form the patient search compares.
// Returns false when the connection is not an open SQLite one.
bool installSqliteFunctions(QSqlDatabase& db);

// Runs a SELECT on an open SQLite connection and reads its rows with each
// text as the bytes stored, decoded by DecodeStoredText: Conquest stores the
// modality's bytes, which need not be UTF-8. Integers read as qlonglong,
// reals as double, blobs as QByteArray, NULL as a null QVariant. False on
// failure, with the description in *error.
bool selectStoredRows(QSqlDatabase& db, const QString& sql, QStringList& columns,
    QVector<QVector<QVariant>>& rows, QString* error);

} // namespace vexa
