// Stands for the Conquest server in the concurrency test and the monitor
// benchmark: inserts patients, series and images one statement at a time,
// pausing between images, on a plain connection as Conquest opens it. On
// SQLite that means no busy timeout: a statement that finds the database
// locked is retried after a random pause of 0.1 to 2 s, 60 times at most.
//   conquest_writer <ConquestPath> <series> <images-per-series> <pause-ms> <prefix>
// Prints "inserts N, retries R, longest stall S ms" (a stall: from a
// statement's first try to its success). Exit status 1 when an insert was
// given up, so lost.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUrl>
#include <cstdio>

namespace {

constexpr int kTries = 60;

struct Stats {
    int inserts = 0;
    int retries = 0;
    qint64 longestStallMs = 0;
};

QSqlDatabase open(const QString& path)
{
    if (path.startsWith(QStringLiteral("postgres"))) {
        const QUrl url(path);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("conquest"));
        db.setHostName(url.host());
        db.setPort(url.port(5432));
        db.setUserName(url.userName());
        db.setPassword(url.password());
        db.setDatabaseName(url.path().mid(1));
        db.open();
        return db;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("conquest"));
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
    db.open();
    return db;
}

bool isBusy(const QSqlError& error)
{
    const QString code = error.nativeErrorCode();
    return code == QStringLiteral("5") || code == QStringLiteral("6")
        || error.databaseText().contains(QStringLiteral("locked"), Qt::CaseInsensitive);
}

bool insert(QSqlDatabase& db, const QString& sql, const QVariantList& values, Stats& stats)
{
    QElapsedTimer since;
    since.start();
    for (int attempt = 1;; ++attempt) {
        QSqlQuery query(db);
        // Reading the schema to prepare may meet the lock too: busy as well.
        const bool prepared = query.prepare(sql);
        for (const QVariant& value : values)
            query.addBindValue(value);
        if (prepared && query.exec()) {
            ++stats.inserts;
            stats.longestStallMs = std::max(stats.longestStallMs, since.elapsed());
            return true;
        }
        if (!isBusy(query.lastError()) || attempt == kTries) {
            std::fprintf(
                stderr, "insert lost after %d tries: %s\n", attempt, qPrintable(query.lastError().text()));
            return false;
        }
        ++stats.retries;
        QThread::msleep(QRandomGenerator::global()->bounded(100, 2001));
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 6)
        return 2;
    QSqlDatabase db = open(args[1]);
    if (!db.isOpen()) {
        std::fprintf(stderr, "%s\n", qPrintable(db.lastError().text()));
        return 1;
    }
    const int series = args[2].toInt(), images = args[3].toInt(), pauseMs = args[4].toInt();
    const QString prefix = args[5];
    Stats stats;
    bool ok = true;
    for (int s = 0; s < series && ok; ++s) {
        const QString patient = QStringLiteral("%1P%2").arg(prefix).arg(s);
        const QString uid = QStringLiteral("%1S%2").arg(prefix).arg(s);
        ok = insert(db, QStringLiteral("INSERT INTO DICOMPatients (PatientID, PatientNam) VALUES (?, ?)"),
                 {patient, QStringLiteral("CONQUEST^%1").arg(s)}, stats)
            && insert(db,
                QStringLiteral(
                    "INSERT INTO DICOMSeries (SeriesInst, SeriesPat, SeriesDate) VALUES (?, ?, ?)"),
                {uid, patient, QStringLiteral("20240110")}, stats);
        for (int i = 0; i < images && ok; ++i) {
            ok = insert(db,
                QStringLiteral("INSERT INTO DICOMImages (SOPInstanc, SeriesInst, ImagePat, ImageDate, "
                               "ObjectFile) VALUES (?, ?, ?, ?, ?)"),
                {QStringLiteral("%1.%2").arg(uid).arg(i), uid, patient, QStringLiteral("20240110"),
                    QStringLiteral("%1/%2.v2").arg(patient).arg(i)},
                stats);
            QThread::msleep(pauseMs);
        }
    }
    std::printf("inserts %d, retries %d, longest stall %lld ms\n", stats.inserts, stats.retries,
        static_cast<long long>(stats.longestStallMs));
    return ok ? 0 : 1;
}
