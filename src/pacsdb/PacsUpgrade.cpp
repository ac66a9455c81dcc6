#include "PacsUpgrade.h"

#include "JetDialect.h"
#include "SqlExec.h"

#include <QUuid>

namespace vexa {

namespace {

QStringList IndexStatements()
{
    const QStringList imageColumns{"Compteur", "Burned", "Printed", "SeriesInst", "ScanDate", "PatientName"};
    const QStringList seriesColumns{"Compteur", "Burned", "Printed", "ScanDate", "PatientName"};
    QStringList statements;
    for (const QString& column : imageColumns)
        statements
            << QStringLiteral("CREATE INDEX IF NOT EXISTS DICOMImages_%1 ON DICOMImages (%1)").arg(column);
    for (const QString& column : seriesColumns)
        statements
            << QStringLiteral("CREATE INDEX IF NOT EXISTS DICOMSeries_%1 ON DICOMSeries (%1)").arg(column);
    // Rows still to name, read in arrival order by the naming pass.
    for (const QString table : {"DICOMImages", "DICOMSeries"})
        statements << QStringLiteral("CREATE INDEX IF NOT EXISTS %1_Burned_Compteur ON %1 (Burned, Compteur)")
                          .arg(table);
    // Series still to date, read by Compteur whether burned or not.
    statements << QStringLiteral(
        "CREATE INDEX IF NOT EXISTS DICOMSeries_ScanDate_Compteur ON DICOMSeries (ScanDate, Compteur)");
    return statements;
}

QStringList BuildUpgradeStatements()
{
    QStringList statements{
        QStringLiteral("ALTER TABLE DICOMImages ADD COLUMN Compteur COUNTER"),
        QStringLiteral("ALTER TABLE DICOMImages ADD COLUMN Printed BIT"),
        QStringLiteral("ALTER TABLE DICOMImages ADD COLUMN Burned BIT"),
        QStringLiteral("ALTER TABLE DICOMImages ADD COLUMN PrintDate DATETIME"),
        QStringLiteral("ALTER TABLE DICOMImages ADD COLUMN PatientName TEXT 255"),
        QStringLiteral("ALTER TABLE DICOMImages ADD COLUMN ScanDate DATETIME"),
        QStringLiteral("ALTER TABLE DICOMImages ADD COLUMN JpegExported BIT"),
        QStringLiteral("ALTER TABLE DICOMImages ADD COLUMN NotToBurn BIT"),
        QStringLiteral("ALTER TABLE DICOMSeries ADD COLUMN Compteur COUNTER"),
        QStringLiteral("ALTER TABLE DICOMSeries ADD COLUMN Printed BIT"),
        QStringLiteral("ALTER TABLE DICOMSeries ADD COLUMN Burned BIT"),
        QStringLiteral("ALTER TABLE DICOMSeries ADD COLUMN PatientName TEXT 255"),
        QStringLiteral("ALTER TABLE DICOMSeries ADD COLUMN ScanDate DATETIME"),
        QStringLiteral("ALTER TABLE DICOMSeries ADD COLUMN JpegExported BIT"),
        QStringLiteral("ALTER TABLE DICOMWorkList ADD COLUMN Compteur COUNTER"),
        QStringLiteral("DELETE * FROM DICOMWorkList WHERE PatientNam IS NULL OR PatientNam = ''"),
        QStringLiteral("CREATE TABLE DICOMCompteur (Compteur COUNTER, Numero INTEGER) ;"),
        QStringLiteral("CREATE TABLE DICOMWLCompteur (Compteur COUNTER, Numero INTEGER) ;"),
    };
    return statements + IndexStatements();
}

bool Exists(QSqlDatabase& db, const QString& sql, const QString& value = {})
{
    QSqlQuery query(db);
    query.prepare(sql);
    if (!value.isNull())
        query.addBindValue(value);
    return query.exec() && query.next();
}

// An SQLite counter column is only whole with its trigger: without it new
// rows get no number and no write keyed by the counter can reach them. The
// trigger goes in with the column, but a column that already existed (a
// database prepared elsewhere, an upgrade cut short) rolls that back. So it
// is made here on its own when missing, and rows left without a number are
// numbered after the highest one, in arrival (rowid) order. An older trigger
// numbered after the highest number still in the table, so deleting the
// newest row gave its number again: it is replaced.
QString RepairSqliteCounter(QSqlDatabase& db, const CounterColumn& counter)
{
    const QString trigger = counter.table + u'_' + counter.column + QStringLiteral("_auto");
    const bool hasTrigger = Exists(db,
        QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'trigger' AND name = ? AND sql LIKE "
                       "'%VexaCounterHigh%'"),
        trigger);
    const QString unnumbered
        = QStringLiteral("SELECT rowid FROM %1 WHERE %2 IS NULL").arg(counter.table, counter.column);
    if (hasTrigger && !Exists(db, unnumbered + QStringLiteral(" LIMIT 1")))
        return {};
    QString error;
    if (!BeginWrite(db, &error))
        return error;
    QSqlQuery query(db);
    const auto fail = [&](const QSqlQuery& failed) {
        const QString error = failed.lastError().text();
        RollbackWrite(db);
        return error;
    };
    if (!query.exec(SqliteCounterIndex(counter.table, counter.column))
        || !query.exec(SqliteCounterHighTable())
        || !query.exec(QStringLiteral("DROP TRIGGER IF EXISTS ") + trigger)
        || !query.exec(SqliteCounterTrigger(counter.table, counter.column)))
        return fail(query);
    if (!query.exec(QStringLiteral("SELECT MAX(IFNULL((SELECT MAX(%2) FROM %1), 0), IFNULL((SELECT High FROM "
                                   "VexaCounterHigh WHERE Counter = '%1.%2'), 0))")
                        .arg(counter.table, counter.column))
        || !query.next())
        return fail(query);
    qint64 next = query.value(0).toLongLong();
    QList<qint64> rowids;
    if (!query.exec(unnumbered + QStringLiteral(" ORDER BY rowid")))
        return fail(query);
    while (query.next())
        rowids.append(query.value(0).toLongLong());
    QSqlQuery number(db);
    number.prepare(QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?").arg(counter.table, counter.column));
    for (const qint64 rowid : rowids) {
        number.addBindValue(++next);
        number.addBindValue(rowid);
        if (!number.exec())
            return fail(number);
    }
    if (!CommitWrite(db, &error)) {
        RollbackWrite(db);
        return error;
    }
    return {};
}

QString RunUpgrade(QSqlDatabase& db)
{
    const SqlBackend backend = BackendOf(db);
    for (const QString& statement : UpgradeStatements()) {
        const QSqlError error = ExecJet(db, statement);
        if (error.isValid() && !IsAlreadyExists(error, backend))
            return error.text();
        const std::optional<CounterColumn> counter = AddedCounter(statement);
        if (counter && backend == SqlBackend::Sqlite) {
            const QString repair = RepairSqliteCounter(db, *counter);
            if (!repair.isEmpty())
                return repair;
        }
    }
    return {};
}

} // namespace

const QStringList& UpgradeStatements()
{
    static const QStringList statements = BuildUpgradeStatements();
    return statements;
}

QString OpenAndUpgrade(const QString& conquestPath)
{
    const QString name
        = QStringLiteral("PacsConnection-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString error;
    {
        QSqlDatabase db = OpenConquestDatabase(conquestPath, name, &error);
        if (db.isOpen())
            error = RunUpgrade(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return error;
}

QString OpenErrorTitle()
{
    return QStringLiteral("Erreur à l'ouverture de la base de données");
}

QString OpenErrorText(const QString& description)
{
    return QStringLiteral("Impossible d'ouvrir la base de données du PACS :\n\n") + description;
}

QString DatabaseNotFoundText()
{
    return QStringLiteral("La base de donnée du MicroPACS CONQUEST est introuvable.\n"
                          "Voulez-vous modifier la configuration d'VexaDICOM ? ");
}

QString RestartToApplyText()
{
    return QStringLiteral("Veuillez relancer VexaDICOM pour que la configuration prenne effet.");
}

} // namespace vexa
