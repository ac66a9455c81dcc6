#include "worklist/WorklistNumbers.h"

#include "pacsdb/QueryCatalogue.h"
#include "pacsdb/SqlExec.h"

#include <QSqlError>
#include <QSqlQuery>

namespace vexa {

namespace {

QString tableName(CounterTable table)
{
    return table == CounterTable::PatientNumbers ? QStringLiteral("DICOMCompteur")
                                                 : QStringLiteral("DICOMWLCompteur");
}

QString whatIsDrawn(CounterTable table)
{
    return table == CounterTable::PatientNumbers ? QStringLiteral("numéro de patient")
                                                 : QStringLiteral("numéro d'examen");
}

QString databaseFailure(CounterTable table, const QString& reason)
{
    return QStringLiteral("Impossible d'obtenir un nouveau %1 dans la base de données :\n%2")
        .arg(whatIsDrawn(table), reason);
}

QString limitReached(CounterTable table)
{
    return QStringLiteral("Le compteur des %1s a atteint sa limite de neuf chiffres (%2) : aucun nouveau "
                          "numéro ne peut être attribué. Le patient n'a pas été envoyé vers la WorkList.")
        .arg(whatIsDrawn(table))
        .arg(LargestWorklistNumber);
}

// Adds the row and returns the value its sequence gave it; 0 with *error set on failure.
qint64 insertRow(QSqlDatabase& db, CounterTable table, QString* error)
{
    QSqlQuery query(db);
    if (backendOf(db) == SqlBackend::Postgres) {
        if (!query.exec(QStringLiteral("INSERT INTO %1 (Numero) VALUES (NULL) RETURNING Compteur")
                            .arg(tableName(table)))
            || !query.next()) {
            *error = query.lastError().text();
            return 0;
        }
        return query.value(0).toLongLong();
    }
    // The write lock of the transaction is held, so the connection's last
    // row is this one whatever other connections do.
    if (!query.exec(QStringLiteral("INSERT INTO %1 (Numero) VALUES (NULL)").arg(tableName(table)))) {
        *error = query.lastError().text();
        return 0;
    }
    return query.lastInsertId().toLongLong();
}

QString keepOnly(QSqlDatabase& db, CounterTable table, qint64 number)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("UPDATE %1 SET Numero = ? WHERE Compteur = ?").arg(tableName(table)));
    query.addBindValue(number);
    query.addBindValue(number);
    if (!query.exec())
        return query.lastError().text();
    const QString below = table == CounterTable::PatientNumbers ? sql::deleteCompteursBelow(number)
                                                                : sql::deleteWorkListCompteursBelow(number);
    const QSqlError error = execJet(db, below);
    return error.isValid() ? error.text() : QString();
}

struct Attempt {
    DrawnNumber drawn;
    bool final = true; // false: a database failure worth another try
};

Attempt failed(CounterTable table, const QString& reason)
{
    return {{0, databaseFailure(table, reason)}, false};
}

Attempt drawOnce(QSqlDatabase& db, CounterTable table)
{
    if (!beginWrite(db))
        return failed(table, db.lastError().text());
    QString error;
    const qint64 number = insertRow(db, table, &error);
    if (number <= 0) {
        rollbackWrite(db);
        return failed(table, error.isEmpty() ? QStringLiteral("aucune valeur attribuée") : error);
    }
    if (number > LargestWorklistNumber) {
        rollbackWrite(db);
        return {{0, limitReached(table)}, true};
    }
    error = keepOnly(db, table, number);
    if (!error.isEmpty()) {
        rollbackWrite(db);
        return failed(table, error);
    }
    if (!commitWrite(db)) {
        const QString reason = db.lastError().text();
        rollbackWrite(db);
        return failed(table, reason);
    }
    return {{number, {}}, true};
}

} // namespace

DrawnNumber drawNumber(QSqlDatabase& db, CounterTable table)
{
    // Two workstations clearing old rows at once can make the server cancel
    // one of them (a deadlock, a serialisation failure): that one tries again
    // and gets a new number, since a sequence value is never given back.
    Attempt attempt;
    for (int i = 0; i < 3; ++i) {
        attempt = drawOnce(db, table);
        if (attempt.final)
            break;
    }
    return attempt.drawn;
}

QString formatWorklistNumber(const QString& initials, qint64 number)
{
    return initials + QStringLiteral("%1").arg(number, 9, 10, QLatin1Char('0'));
}

} // namespace vexa
