#include "pacsdb/PacsUpgrade.h"

#include "pacsdb/JetDialect.h"
#include "pacsdb/SqlExec.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSqlRecord>
#include <QThread>
#include <QUuid>

namespace vexa {

namespace {

QStringList indexStatements()
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

QStringList buildUpgradeStatements()
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
    return statements + indexStatements();
}

bool exists(QSqlDatabase& db, const QString& sql, const QString& value = {})
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
QString repairSqliteCounter(QSqlDatabase& db, const CounterColumn& counter)
{
    const QString trigger = counter.table + u'_' + counter.column + QStringLiteral("_auto");
    const bool hasTrigger = exists(db,
        QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'trigger' AND name = ? AND sql LIKE "
                       "'%VexaCounterHigh%'"),
        trigger);
    const QString unnumbered
        = QStringLiteral("SELECT rowid FROM %1 WHERE %2 IS NULL").arg(counter.table, counter.column);
    if (hasTrigger && !exists(db, unnumbered + QStringLiteral(" LIMIT 1")))
        return {};
    QString error;
    if (!beginWrite(db, &error))
        return error;
    QSqlQuery query(db);
    const auto fail = [&](const QSqlQuery& failed) {
        const QString error = failed.lastError().text();
        rollbackWrite(db);
        return error;
    };
    if (!query.exec(sqliteCounterIndex(counter.table, counter.column))
        || !query.exec(sqliteCounterHighTable())
        || !query.exec(QStringLiteral("DROP TRIGGER IF EXISTS ") + trigger)
        || !query.exec(sqliteCounterTrigger(counter.table, counter.column)))
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
    if (!commitWrite(db, &error)) {
        rollbackWrite(db);
        return error;
    }
    return {};
}

// Whether the upgrade statement still has something to do, asked of the
// catalogue so that a database already upgraded sees no failed statement
// (PostgreSQL logs each one as an ERROR) and no lock on Conquest's tables.
// Statements of other forms (the clean-up of the worklist) always run.
bool stillToDo(QSqlDatabase& db, const QString& statement)
{
    static const QRegularExpression addColumn(
        QStringLiteral(R"(^ALTER TABLE (\w+) ADD COLUMN (\w+))"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression createTable(
        QStringLiteral(R"(^CREATE TABLE (\w+))"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression createIndex(
        QStringLiteral(R"(^CREATE INDEX IF NOT EXISTS (\w+))"), QRegularExpression::CaseInsensitiveOption);
    if (const auto m = addColumn.match(statement); m.hasMatch()) {
        // Conquest's unquoted names are folded to lower case by PostgreSQL.
        const QSqlRecord columns = db.record(m.captured(1).toLower());
        return columns.isEmpty() || !columns.contains(m.captured(2));
    }
    if (const auto m = createTable.match(statement); m.hasMatch())
        return !db.tables().contains(m.captured(1), Qt::CaseInsensitive);
    if (const auto m = createIndex.match(statement); m.hasMatch()) {
        const QString sql = backendOf(db) == SqlBackend::Postgres
            ? QStringLiteral("SELECT 1 FROM pg_indexes WHERE indexname = lower(?)")
            : QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = ? COLLATE NOCASE");
        return !exists(db, sql, m.captured(1));
    }
    return true;
}

// Several workstations may start together on a database never upgraded: one
// at a time changes the schema, the others wait, then find it done.
// PostgreSQL: a session advisory lock, each statement committed on its own
// so that no table stays locked longer than its own change. SQLite: each
// change in an immediate transaction, asked again once the lock is held.
constexpr qint64 kUpgradeLockKey = 0x5665786155706772; // "VexaUpgr"
constexpr int kUpgradeWaitMs = 300000;

bool isBusy(const QSqlError& error)
{
    return error.databaseText().contains(QStringLiteral("locked"), Qt::CaseInsensitive)
        || error.databaseText().contains(QStringLiteral("busy"), Qt::CaseInsensitive);
}

// Runs a statement still to do; "" when done or found done meanwhile.
QString runSqliteStatement(QSqlDatabase& db, const QString& statement)
{
    QElapsedTimer waited;
    waited.start();
    QSqlQuery query(db);
    while (!query.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        if (!isBusy(query.lastError()) || waited.elapsed() > kUpgradeWaitMs)
            return query.lastError().text();
        QThread::msleep(100);
    }
    if (!stillToDo(db, statement)) {
        query.exec(QStringLiteral("ROLLBACK"));
        return {};
    }
    for (const QString& translated : translateJet(statement, SqlBackend::Sqlite)) {
        if (!query.exec(translated)) {
            const QSqlError error = query.lastError();
            query.exec(QStringLiteral("ROLLBACK"));
            return isAlreadyExists(error, SqlBackend::Sqlite) ? QString() : error.text();
        }
    }
    if (!query.exec(QStringLiteral("COMMIT"))) {
        const QString error = query.lastError().text();
        query.exec(QStringLiteral("ROLLBACK"));
        return error;
    }
    return {};
}

QString runPostgresStatement(QSqlDatabase& db, const QString& statement)
{
    if (!stillToDo(db, statement))
        return {};
    const QSqlError error = execJet(db, statement);
    return error.isValid() && !isAlreadyExists(error, SqlBackend::Postgres) ? error.text() : QString();
}

QString runUpgrade(QSqlDatabase& db)
{
    const SqlBackend backend = backendOf(db);
    QStringList toDo;
    for (const QString& statement : upgradeStatements())
        if (stillToDo(db, statement))
            toDo << statement;
    QSqlQuery lock(db);
    const bool locking = backend == SqlBackend::Postgres && toDo.size() > 1; // more than the clean-up
    if (locking && !lock.exec(QStringLiteral("SELECT pg_advisory_lock(%1)").arg(kUpgradeLockKey)))
        return lock.lastError().text();
    QString failure;
    for (const QString& statement : toDo) {
        failure = backend == SqlBackend::Sqlite ? runSqliteStatement(db, statement)
                                                : runPostgresStatement(db, statement);
        if (!failure.isEmpty())
            break;
    }
    if (locking)
        lock.exec(QStringLiteral("SELECT pg_advisory_unlock(%1)").arg(kUpgradeLockKey));
    if (!failure.isEmpty() || backend != SqlBackend::Sqlite)
        return failure;
    for (const QString& statement : upgradeStatements()) {
        const std::optional<CounterColumn> counter = addedCounter(statement);
        if (!counter)
            continue;
        const QString repair = repairSqliteCounter(db, *counter);
        if (!repair.isEmpty())
            return repair;
    }
    return {};
}

bool changesSchema(const QString& statement)
{
    return statement.startsWith(QStringLiteral("ALTER "), Qt::CaseInsensitive)
        || statement.startsWith(QStringLiteral("CREATE "), Qt::CaseInsensitive);
}

StartupWorkload inspect(QSqlDatabase& db)
{
    StartupWorkload workload;
    for (const QString& statement : upgradeStatements())
        if (changesSchema(statement) && stillToDo(db, statement))
            workload.schemaToChange = true;
    // Without the program's columns every image is still to name.
    QSqlQuery count(db);
    count.setForwardOnly(true);
    const bool named = db.record(QStringLiteral("dicomimages")).contains(QStringLiteral("Burned"));
    if (!count.exec(named ? QStringLiteral("SELECT COUNT(*) FROM DICOMImages WHERE Burned = 0")
                          : QStringLiteral("SELECT COUNT(*) FROM DICOMImages"))
        || !count.next())
        workload.error = count.lastError().text();
    else
        workload.imagesToName = count.value(0).toLongLong();
    return workload;
}

} // namespace

const QStringList& upgradeStatements()
{
    static const QStringList statements = buildUpgradeStatements();
    return statements;
}

QString openAndUpgrade(const QString& conquestPath)
{
    const QString name
        = QStringLiteral("PacsConnection-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString error;
    {
        QSqlDatabase db = openConquestDatabase(conquestPath, name, &error);
        if (db.isOpen())
            error = runUpgrade(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return error;
}

StartupWorkload inspectDatabase(const QString& conquestPath)
{
    const QString name
        = QStringLiteral("PacsConnection-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    StartupWorkload workload;
    {
        QSqlDatabase db = openConquestDatabase(conquestPath, name, &workload.error);
        if (db.isOpen())
            workload = inspect(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return workload;
}

QString openErrorTitle()
{
    return QStringLiteral("Erreur à l'ouverture de la base de données");
}

QString openErrorText(const QString& description)
{
    return QStringLiteral("Impossible d'ouvrir la base de données du PACS :\n\n") + description;
}

QString databaseNotFoundText()
{
    return QStringLiteral("La base de donnée du MicroPACS CONQUEST est introuvable.\n"
                          "Voulez-vous modifier la configuration d'VexaDICOM ? ");
}

QString restartToApplyText()
{
    return QStringLiteral("Veuillez relancer VexaDICOM pour que la configuration prenne effet.");
}

} // namespace vexa
