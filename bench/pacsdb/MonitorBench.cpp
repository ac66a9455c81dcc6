// Times the new-exam monitor on a practice-sized SQLite database.
//   bench_pacsdb_monitor [series=20000] [images-per-series=10] [journal-mode=delete]
// (journal-mode: the one Conquest's database is given before the timed runs,
// "wal" to compare with write-ahead logging)
// Prints: quiet tick (small and full database), a tick naming 50 new series
// of 10 images, the first naming after an upgrade against the original
// one-lookup-per-row way (run on a subset and extrapolated), and the longest
// stall of a writer behaving as Conquest does (no busy timeout, retries after
// random pauses of 0.1 to 2 s) while that first naming runs and during 100
// everyday ticks, against the same writer on its own.
#include "base/core/PersonName.h"
#include "pacsdb/ExamNaming.h"
#include "pacsdb/NewExamMonitor.h"
#include "pacsdb/PacsConnection.h"
#include "pacsdb/PacsUpgrade.h"
#include "pacsdb/QueryCatalogue.h"
#include "pacsdb/SqlExec.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <functional>

using namespace vexa;

namespace {

constexpr int kSeriesPerPatient = 5;
constexpr int kNotBurned = 200;
const QDate kFirstDay(2023, 1, 1);

struct Shape {
    int series;
    int imagesPerSeries;
    bool named; // false: rows as Conquest leaves them, before any upgrade
};

// Twenty series a day whatever the size, so a month's date list has the same
// length in the small and the full database.
QDate dayOf(int series, int total)
{
    Q_UNUSED(total);
    return kFirstDay.addDays(series / 20);
}

void exec(QSqlQuery& query)
{
    if (!query.exec()) {
        std::fprintf(stderr, "%s\n", qPrintable(query.lastError().text()));
        std::exit(1);
    }
}

// Fills a database. Named rows get their name, date and Burned as the
// program leaves them; the last kNotBurned series stay not burned.
void fill(QSqlDatabase& db, const Shape& shape)
{
    beginWrite(db);
    QSqlQuery patient(db), series(db), image(db);
    patient.prepare("INSERT INTO DICOMPatients (PatientID, PatientNam) VALUES (?, ?)");
    const QString named
        = shape.named ? ", PatientName, ScanDate, Burned) VALUES (?, ?, ?, ?, ?, ?)" : ") VALUES (?, ?, ?)";
    series.prepare("INSERT INTO DICOMSeries (SeriesInst, SeriesPat, SeriesDate" + named);
    image.prepare("INSERT INTO DICOMImages (SOPInstanc, SeriesInst, ImagePat, ImageDate, ObjectFile"
        + QString(shape.named ? ", PatientName, ScanDate, Burned) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"
                              : ") VALUES (?, ?, ?, ?, ?)"));
    for (int s = 0; s < shape.series; ++s) {
        const QString id = QStringLiteral("PAT%1").arg(s / kSeriesPerPatient, 6, 10, QLatin1Char('0'));
        const QString name = QStringLiteral("NOM%1^PRENOM^^^").arg(s / kSeriesPerPatient);
        if (s % kSeriesPerPatient == 0) {
            patient.addBindValue(id);
            patient.addBindValue(name);
            exec(patient);
        }
        const QDate day = dayOf(s, shape.series);
        const QString uid = QStringLiteral("1.2.250.%1").arg(s);
        const QVariantList namedValues{
            readablePersonName(name), day.toString(Qt::ISODate), s < shape.series - kNotBurned ? -1 : 0};
        for (const QVariant& v : QVariantList{uid, id, day.toString("yyyyMMdd")})
            series.addBindValue(v);
        if (shape.named)
            for (const QVariant& v : namedValues)
                series.addBindValue(v);
        exec(series);
        for (int i = 0; i < shape.imagesPerSeries; ++i) {
            for (const QVariant& v : QVariantList{uid + QStringLiteral(".%1").arg(i), uid, id,
                     day.toString("yyyyMMdd"), id + QStringLiteral("/%1.v2").arg(i)})
                image.addBindValue(v);
            if (shape.named)
                for (const QVariant& v : QVariantList{namedValues[0], namedValues[1], -1})
                    image.addBindValue(v);
            exec(image);
        }
    }
    commitWrite(db);
}

QString build(const QString& path, const Shape& shape, bool upgradeFirst)
{
    QString error;
    {
        QSqlDatabase db = openConquestDatabase(path, "bench-build", &error, MissingFile::Create);
        createConquestTables(db);
        db.close();
    }
    QSqlDatabase::removeDatabase("bench-build");
    if (upgradeFirst)
        openAndUpgrade(path);
    {
        QSqlDatabase db = openConquestDatabase(path, "bench-build", &error);
        fill(db, shape);
        db.close();
    }
    QSqlDatabase::removeDatabase("bench-build");
    return path;
}

double ms(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e6;
}

// Median of several quiet ticks, the lists as the main window holds them.
double quietTick(const QString& path, int series, bool patientSearch)
{
    MainRecordSets sets;
    sets.setDatabasePath(path);
    NewExamMonitor monitor(sets, path);
    const QDate last = dayOf(series - 1, series);
    sets.seriesByDate.setRecordSource(sql::seriesBetween(last.addMonths(-1), last));
    sets.seriesByDate.requery();
    monitor.setSeriesListCount(sets.seriesByDate.count());
    if (patientSearch)
        sets.seriesByPatient.setRecordSource(sql::seriesByPatientName("NOM12*"));
    for (int i = 0; i < 3; ++i)
        monitor.tick();
    std::vector<double> times;
    for (int i = 0; i < 9; ++i) {
        QElapsedTimer timer;
        timer.start();
        monitor.tick();
        times.push_back(ms(timer));
    }
    std::sort(times.begin(), times.end());
    std::printf("  (date list %d rows, not-burned list %d rows)\n", sets.seriesByDate.count(),
        sets.notBurnedSeries.count());
    return times[times.size() / 2];
}

double tickNamingNewSeries(const QString& path, int series)
{
    MainRecordSets sets;
    sets.setDatabasePath(path);
    NewExamMonitor monitor(sets, path);
    monitor.tick();
    QSqlDatabase db = pacsConnection(path);
    beginWrite(db);
    QSqlQuery s(db), i(db);
    s.prepare("INSERT INTO DICOMSeries (SeriesInst, SeriesPat, SeriesDate) VALUES (?, ?, '20250101')");
    i.prepare(
        "INSERT INTO DICOMImages (SOPInstanc, SeriesInst, ImagePat, ImageDate) VALUES (?, ?, ?, '20250101')");
    for (int n = 0; n < 50; ++n) {
        const QString uid = QStringLiteral("9.9.%1").arg(n);
        const QString id
            = QStringLiteral("PAT%1").arg((n * 37) % (series / kSeriesPerPatient), 6, 10, QLatin1Char('0'));
        s.addBindValue(uid);
        s.addBindValue(id);
        exec(s);
        for (int k = 0; k < 10; ++k) {
            i.addBindValue(uid + QStringLiteral(".%1").arg(k));
            i.addBindValue(uid);
            i.addBindValue(id);
            exec(i);
        }
    }
    commitWrite(db);
    QElapsedTimer timer;
    timer.start();
    monitor.tick();
    const double tickMs = ms(timer);
    QSqlQuery left(db);
    selectJet(db, left, "SELECT COUNT(*) FROM DICOMImages WHERE Burned = 0");
    left.next();
    std::printf("  (images left unnamed after the tick: %d)\n", left.value(0).toInt());
    return tickMs;
}

// The original's way: one patient query and one stored row per image.
double perRowBaselineMs(const QString& path, int limit, int total)
{
    MainRecordSets sets;
    sets.setDatabasePath(path);
    RecordSet& conn = sets.workSet;
    conn.setRecordSource(sql::imagesNotNamed());
    QElapsedTimer snapshot;
    snapshot.start();
    conn.requery();
    const double snapshotMs = ms(snapshot);
    QElapsedTimer timer;
    timer.start();
    int rows = 0;
    for (conn.moveFirst(); !conn.eof() && rows < limit; conn.moveNext(), ++rows) {
        sets.patientLookup.setRecordSource(sql::patientById(conn.fieldText("ImagePat")));
        sets.patientLookup.requery();
        conn.edit();
        if (sets.patientLookup.count() > 0)
            conn.setField("PatientName", readablePersonName(sets.patientLookup.fieldText("PatientNam")));
        conn.setField("ScanDate", examDateOf(conn.fieldText("ImageDate"), QDate::currentDate()));
        conn.setField("Burned", true);
        conn.update();
    }
    const double loopMs = ms(timer);
    std::printf("  baseline: %d of %d rows in %.0f ms (+ %.0f ms reading the rows), extrapolated\n", rows,
        total, loopMs, snapshotMs);
    return snapshotMs + loopMs * total / std::max(rows, 1);
}

#ifdef VEXA_CONQUEST_WRITER_PATH
// Starts the Conquest-like writer on path, runs work meanwhile, waits for the
// writer and returns its report ("inserts N, retries R, longest stall S ms").
QString writerReport(
    const QString& path, int series, const QString& prefix, const std::function<void()>& work)
{
    QProcess writer;
    writer.start(QStringLiteral(VEXA_CONQUEST_WRITER_PATH),
        {path, QString::number(series), QStringLiteral("10"), QStringLiteral("10"), prefix});
    if (!writer.waitForStarted())
        return QStringLiteral("writer did not start");
    QThread::msleep(200); // the writer is inserting when the work starts
    work();
    writer.waitForFinished(600000);
    const QString report = QString::fromUtf8(writer.readAllStandardOutput()).trimmed();
    return writer.exitCode() == 0 ? report : report + QStringLiteral(" -- INSERTS LOST");
}
#endif

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int series = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int perSeries = argc > 2 ? std::atoi(argv[2]) : 10;
    QTemporaryDir dir;
    std::printf("Monitor benchmark, SQLite, %d series x %d images\n", series, perSeries);

    const QString small = build(dir.filePath("small.db3"), {series / 10, perSeries, true}, true);
    const QString full = build(dir.filePath("full.db3"), {series, perSeries, true}, true);
    for (const bool search : {false, true}) {
        std::printf("%s\n",
            search ? "with a patient search \"NOM12*\" in the patient list:" : "without a patient search:");
        const double quietSmall = quietTick(small, series / 10, search);
        std::printf("quiet tick, %d named series: %.2f ms\n", series / 10, quietSmall);
        const double quietFull = quietTick(full, series, search);
        std::printf("quiet tick, %d named series: %.2f ms (ratio to the small database: %.2f)\n", series,
            quietFull, quietFull / quietSmall);
    }
    std::printf("tick naming 50 new series of 10 images: %.1f ms\n", tickNamingNewSeries(full, series));

    const QString raw = build(dir.filePath("raw.db3"), {series, perSeries, false}, false);
    const QString journalMode = argc > 3 ? QString::fromUtf8(argv[3]) : QStringLiteral("delete");
    {
        QSqlDatabase db = openConquestDatabase(raw, "bench-journal");
        QSqlQuery mode(db);
        mode.exec("PRAGMA journal_mode=" + journalMode);
        std::printf("journal mode of Conquest's database: %s\n",
            qPrintable(mode.next() ? mode.value(0).toString() : "?"));
        db.close();
    }
    QSqlDatabase::removeDatabase("bench-journal");
    QElapsedTimer upgrade;
    upgrade.start();
    openAndUpgrade(raw);
    std::printf("upgrade of the never-named database: %.0f ms\n", ms(upgrade));
    const QString copy = dir.filePath("raw-baseline.db3");
    QFile::copy(raw, copy);
    const int total = series * perSeries;
    const double baselineMs = perRowBaselineMs(copy, std::min(total, 2000), total);
    closePacsConnection(copy);

#ifdef VEXA_CONQUEST_WRITER_PATH
    const QString contended = dir.filePath("raw-contended.db3");
    QFile::copy(raw, contended);
    std::printf("Conquest-like writer alone: %s\n",
        qPrintable(writerReport(contended, 5, QStringLiteral("A"), [] {})));
    double contendedMs = 0;
    const QString during = writerReport(contended, 60, QStringLiteral("B"), [&] {
        MainRecordSets sets;
        QElapsedTimer timer;
        timer.start();
        nameNewRows(sets, contended);
        contendedMs = ms(timer);
    });
    std::printf(
        "Conquest-like writer during the first naming (%.0f ms): %s\n", contendedMs, qPrintable(during));
    // Everyday work: the monitor ticks (closer together than its 6 s, so
    // 100 of them meet the writer) while Conquest receives.
    double longestTickMs = 0;
    const QString ticking = writerReport(contended, 30, QStringLiteral("C"), [&] {
        MainRecordSets sets;
        sets.setDatabasePath(contended);
        NewExamMonitor monitor(sets, contended);
        for (int i = 0; i < 100; ++i) {
            QElapsedTimer timer;
            timer.start();
            monitor.tick();
            longestTickMs = std::max(longestTickMs, ms(timer));
            QThread::msleep(50);
        }
    });
    std::printf("Conquest-like writer during 100 everyday ticks (longest tick %.0f ms): %s\n", longestTickMs,
        qPrintable(ticking));
    closePacsConnection(contended);
#endif

    MainRecordSets sets;
    QElapsedTimer first;
    first.start();
    const QString error = nameNewRows(sets, raw);
    const double firstMs = ms(first);
    std::printf("first naming of %d images: %.0f ms %s\n", total, firstMs, qPrintable(error));
    std::printf("per-row lookup baseline (extrapolated): %.0f ms; speed-up: %.1fx\n", baselineMs,
        baselineMs / firstMs);
    closePacsConnection(raw);
    closePacsConnection(full);
    closePacsConnection(small);
    return 0;
}
