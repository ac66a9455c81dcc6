// Start-up time of the main window on a large Conquest database never
// upgraded nor named: from the start-up sequence to the window shown, then
// until every image is named (the work behind the shown window); and the
// everyday start after it.
//   bench_app_startup [series=20000] [images-per-series=10]
#include "base/core/AppValues.h"
#include "base/core/DialogService.h"
#include "base/core/Settings.h"
#include "browser/SearchPage.h"
#include "pacsdb/ConquestSchema.h"
#include "pacsdb/ExamNaming.h"
#include "pacsdb/PacsUpgrade.h"
#include "shell/main/MainWindow.h"
#include "shell/main/SingleInstance.h"
#include "shell/main/Startup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

// Conquest's rows for `series` series of `images` images each,
// none burned yet: the not-burned list holds every series (the worst case).
bool buildDatabase(const QString& path, int series, int images)
{
    QSqlDatabase db
        = vexa::openConquestDatabase(path, QStringLiteral("bench"), nullptr, vexa::MissingFile::Create);
    if (!db.isOpen() || !vexa::createConquestTables(db).isEmpty())
        return false;
    db.transaction();
    QSqlQuery patient(db), serie(db), image(db);
    patient.prepare(QStringLiteral("INSERT INTO DICOMPatients (PatientID, PatientNam) VALUES (?, ?)"));
    serie.prepare(
        QStringLiteral("INSERT INTO DICOMSeries (SeriesInst, SeriesPat, SeriesDate) VALUES (?, ?, ?)"));
    image.prepare(
        QStringLiteral("INSERT INTO DICOMImages (SOPInstanc, SeriesInst, ImagePat, ImageDate, ObjectFile) "
                       "VALUES (?, ?, ?, ?, ?)"));
    for (int s = 0; s < series; ++s) {
        const QString id = QStringLiteral("P%1").arg(s);
        const QString uid = QStringLiteral("1.2.%1").arg(s);
        const QString date = QDate(2020, 1, 1).addDays(s % 1500).toString(QStringLiteral("yyyyMMdd"));
        patient.addBindValue(id);
        patient.addBindValue(QStringLiteral("PATIENT%1^PRENOM").arg(s));
        serie.addBindValue(uid);
        serie.addBindValue(id);
        serie.addBindValue(date);
        if (!patient.exec() || !serie.exec())
            return false;
        for (int i = 0; i < images; ++i) {
            image.addBindValue(QStringLiteral("%1.%2").arg(uid).arg(i));
            image.addBindValue(uid);
            image.addBindValue(id);
            image.addBindValue(date);
            image.addBindValue(QStringLiteral("%1/%2_%3.v2").arg(id, uid).arg(i));
            if (!image.exec())
                return false;
        }
    }
    return db.commit();
}

qint64 unnamed(const QString& path)
{
    qint64 count = -1;
    {
        QSqlDatabase db = vexa::openConquestDatabase(path, QStringLiteral("count"), nullptr);
        QSqlQuery query(db);
        if (query.exec(
                QStringLiteral("SELECT COUNT(*) FROM DICOMImages WHERE Burned = 0 OR PatientName IS NULL"))
            && query.next())
            count = query.value(0).toLongLong();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("count"));
    return count;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int series = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int images = argc > 2 ? std::atoi(argv[2]) : 10;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("conquest.db3"));
    QElapsedTimer build;
    build.start();
    if (!buildDatabase(path, series, images)) {
        std::fprintf(stderr, "cannot build the database\n");
        return 1;
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench"));
    std::printf("database: %d series, %d images, built in %lld ms\n", series, series * images,
        static_cast<long long>(build.elapsed()));
    // The same database for the baseline: upgraded and named in one go on
    // this thread, with no window.
    const QString baselinePath = dir.filePath(QStringLiteral("baseline.db3"));
    QFile::copy(path, baselinePath);
    vexa::setSettingsFile(dir.filePath(QStringLiteral("settings.ini")));
    vexa::saveSetting(QStringLiteral("Conquest"), QStringLiteral("ConquestPath"), path);

    // Two starts: the first upgrades and names every row, the second is the
    // everyday start on an upgraded database.
    for (const char* label : {"first start (upgrade, naming)", "everyday start"}) {
        vexa::SingleInstance instance(dir.path());
        QElapsedTimer timer;
        timer.start();
        vexa::MainWindow window;
        if (vexa::runStartup(window, instance, {}) != vexa::StartupOutcome::Run)
            return 1;
        window.show();
        QCoreApplication::processEvents();
        std::printf("%s: %lld ms to the window shown (goal under 1000 ms)\n", label,
            static_cast<long long>(timer.elapsed()));
        if (window.startupWorkRunning()) {
            QEventLoop loop;
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, [&] {
                if (!window.startupWorkRunning())
                    loop.quit();
            });
            poll.start(5);
            loop.exec();
            std::printf("%s: %lld ms until every image is named, %lld images left unnamed\n", label,
                static_cast<long long>(timer.elapsed()), static_cast<long long>(unnamed(path)));
        }
        std::printf("%s: not-burned list %d rows, date list %d rows\n", label,
            window.sets.notBurnedSeries.count(), window.sets.seriesByDate.count());
    }
    QElapsedTimer baseline;
    baseline.start();
    vexa::MainRecordSets sets;
    if (!vexa::openAndUpgrade(baselinePath).isEmpty() || !vexa::nameNewRows(sets, baselinePath).isEmpty())
        return 1;
    std::printf("baseline, upgrade and naming with no window: %lld ms, %lld images left unnamed\n",
        static_cast<long long>(baseline.elapsed()), static_cast<long long>(unnamed(baselinePath)));
    return 0;
}
