// Opening an exam: the pictures of a series of 16 computed radiographs
// (1024 x 1024, 12 bits) made in place on the calling thread, as before, and
// through the program's exporter (a worker behind the modal waiting window).
// Prints the median of each, their ratio (goal: at most 1.2, the worker costs
// nothing noticeable) and the longest pause of a 10 ms timer of the
// user-interface thread while the worker runs (goal under 50 ms: the window
// keeps answering), beside the same pause with a worker that only sleeps.
//   bench_browser_opening [runs=3]
#include "base/core/AppValues.h"
#include "base/ui/BackgroundWork.h"
#include "browser/export/JpegExport.h"
#include "browser/export/SeriesExport.h"
#include "burning/export/ImageConverters.h"
#include "dicom/DicomWriter.h"
#include "pacsdb/ConquestSchema.h"
#include "pacsdb/PacsConnection.h"
#include "pacsdb/PacsUpgrade.h"
#include "pacsdb/RecordSet.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

using namespace vexa;

namespace {

constexpr int ImageCount = 16;
constexpr int Side = 1024;
const QString SeriesUid = QStringLiteral("1.2.826.0.1.3680043.2.1125.9001");

class NoProgress : public ExportProgress {
public:
    void begin() override { }
    void advance(int, int) override { }
    void end() override { }
};

void fail(const QString& what)
{
    std::fprintf(stderr, "%s\n", qPrintable(what));
    std::exit(1);
}

void exec(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery query(db);
    if (!query.exec(sql))
        fail(query.lastError().text() + QStringLiteral(" in ") + sql);
}

QByteArray ramp(int n)
{
    QByteArray pixels(Side * Side * 2, Qt::Uninitialized);
    auto* samples = reinterpret_cast<quint16*>(pixels.data());
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x)
            samples[y * Side + x] = static_cast<quint16>((x * 3 + y * 2 + n * 97) % 4096);
    return pixels;
}

void writeSeries(QSqlDatabase& db, const QString& root)
{
    QDir(root).mkpath(QStringLiteral("P1"));
    exec(db,
        QStringLiteral("INSERT INTO DICOMPatients (PatientID, PatientNam) VALUES ('P1', 'BENCH^OPENING')"));
    exec(db,
        QStringLiteral("INSERT INTO DICOMSeries (SeriesInst, SeriesPat, SeriesDate) VALUES ('%1', 'P1', "
                       "'20260314')")
            .arg(SeriesUid));
    for (int n = 0; n < ImageCount; ++n) {
        NewDicomImage image;
        image.patientName = QStringLiteral("BENCH^OPENING");
        image.seriesInstanceUid = SeriesUid;
        image.sopInstanceUid = SeriesUid + QStringLiteral(".%1").arg(n);
        image.sopClassUid = sop_class::ComputedRadiography;
        image.studyDate = QStringLiteral("20260314");
        image.modality = QStringLiteral("CR");
        image.instanceNumber = n + 1;
        image.columns = Side;
        image.rows = Side;
        image.pixelData = ramp(n);
        const QString objectFile = QStringLiteral("P1/image_%1.v2").arg(n, 4, 10, QChar(u'0'));
        const DicomResult written
            = writeDicomImage(image, root + objectFile, DicomFileLayout::BareImplicitLittle);
        if (!written.ok)
            fail(written.error);
        exec(db,
            QStringLiteral("INSERT INTO DICOMImages (SOPInstanc, SeriesInst, ImagePat, ObjectFile) "
                           "VALUES ('%1', '%2', 'P1', '%3')")
                .arg(image.sopInstanceUid, SeriesUid, objectFile));
    }
}

// Every picture gone and every image to be exported again.
void reset(QSqlDatabase& db, const QString& root)
{
    exec(db, QStringLiteral("UPDATE DICOMImages SET JpegExported = 0"));
    QDir folder(root + QStringLiteral("P1"));
    for (const QString& picture : folder.entryList({QStringLiteral("*.jpeg"), QStringLiteral("*.jpg")}))
        folder.remove(picture);
}

// The longest pause of a 10 ms timer of this thread while `run` runs.
double longestPause(const std::function<void()>& run)
{
    QElapsedTimer sinceTick;
    double longest = 0;
    QTimer ticks;
    QObject::connect(
        &ticks, &QTimer::timeout, [&] { longest = std::max(longest, double(sinceTick.restart())); });
    ticks.start(10);
    sinceTick.start();
    run();
    ticks.stop();
    return std::max(0.0, longest - 10);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 3;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("conquest.db3"));
    const QString root = dir.path() + u'/';
    QString error;
    QSqlDatabase db = openConquestDatabase(path, QStringLiteral("bench"), &error, MissingFile::Create);
    if (!db.isOpen() || !createConquestTables(db).isEmpty() || !openAndUpgrade(path).isEmpty())
        fail(QStringLiteral("database: ") + error);
    writeSeries(db, root);
    appValues().conquestImagePath = root;
    const SeriesExporter exporter = productionSeriesExporter(nullptr);
    if (!exporter)
        fail(QStringLiteral("this build has no JPEG export"));

    std::vector<double> inPlace, onWorker, pauses, idlePauses, busyPauses;
    for (int run = 0; run < runs; ++run) {
        reset(db, root);
        QElapsedTimer clock;
        clock.start();
        RecordSet images(QStringLiteral("benchImages"));
        DcmtkImageConverters converters;
        NoProgress progress;
        if (!exportSeriesJpeg(SeriesUid, images, path, root, converters, progress))
            fail(QStringLiteral("export in place failed"));
        inPlace.push_back(clock.elapsed());

        reset(db, root);
        double took = 0;
        pauses.push_back(longestPause([&] {
            clock.restart();
            if (!exporter(path, SeriesUid))
                fail(QStringLiteral("export on the worker failed"));
            took = clock.elapsed();
        }));
        onWorker.push_back(took);
        // The same wait with a worker that only sleeps: what the machine
        // itself does to the timer (the waiting window shown, other loads).
        idlePauses.push_back(longestPause([&] {
            runInBackground(
                nullptr, {}, [took](WorkProgress&) { QThread::msleep(static_cast<unsigned long>(took)); });
        }));
        // And with one that only computes as long: what sharing the
        // processors with the worker costs the timer, locks aside.
        busyPauses.push_back(longestPause([&] {
            runInBackground(nullptr, {}, [took](WorkProgress&) {
                QElapsedTimer spin;
                spin.start();
                volatile std::uint64_t sum = 0;
                while (spin.elapsed() < took)
                    sum = sum + 1;
            });
        }));
    }
    const double place = median(inPlace), worker = median(onWorker);
    std::printf("opening pictures of %d images, %d x %d, median of %d runs\n", ImageCount, Side, Side, runs);
    std::printf("  in place on the calling thread: %.0f ms\n", place);
    std::printf("  on a worker behind the waiting window: %.0f ms\n", worker);
    std::printf("  ratio worker / in place: %.2f (goal: at most 1.2) %s\n", worker / place,
        worker / place <= 1.2 ? "OK" : "OVER");
    std::printf("  longest pause of the window's 10 ms timer meanwhile: %.0f ms (goal under 50 ms) %s\n",
        median(pauses), median(pauses) < 50 ? "OK" : "OVER");
    std::printf(
        "  the same with a worker that only sleeps as long (baseline): %.0f ms\n", median(idlePauses));
    std::printf("  the same with a worker that only computes as long: %.0f ms\n", median(busyPauses));
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("bench"));
    closePacsConnection(path);
    return 0;
}
