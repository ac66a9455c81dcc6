// How long the main window takes to answer input while the patient CD of a
// 254-image CT exam is prepared (checks, standard DICOM files, DICOMDIR,
// pictures, page). Another thread posts an event to the main window every
// 10 ms and the time until it is delivered is noted: the round trip a key
// press or a click would wait. Measured with the preparation off the
// user-interface thread under the modal waiting window, as the burn action
// runs it, against the same preparation run on the user-interface thread.
#include "CtSeries.h"
#include "base/ui/BackgroundWork.h"
#include "burning/cd/ExamCd.h"
#include "burning/export/ImageConverters.h"
#include "pacsdb/ConquestSchema.h"
#include "pacsdb/PacsUpgrade.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QWidget>
#include <QtConcurrent/QtConcurrentMap>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

using namespace vexa;
using vexa::bench::writeCtSeries;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int sliceCount = 254;
const QString seriesUid = QStringLiteral("1.2.826.0.1.3680043.9.7777.1");

// One CT series of 512 x 512 slices in the store, its pictures exported as
// the opening of the exam made them, and its rows as Conquest wrote them.
QString writeExam(const QString& folder)
{
    const QString store = folder + "/store/";
    writeCtSeries(store + "PAT001", seriesUid, sliceCount);

    const QString database = folder + "/conquest.db3";
    {
        QSqlDatabase db = openConquestDatabase(database, "bench", nullptr, MissingFile::Create);
        if (!db.isOpen() || !createConquestTables(db).isEmpty())
            qFatal("cannot create the database");
        QSqlQuery query(db);
        query.exec("INSERT INTO DICOMPatients (PatientID, PatientNam) VALUES ('PAT001', 'DUPONT^JEAN')");
        query.exec("INSERT INTO DICOMSeries (SeriesInst, SeriesPat, SeriesDate) VALUES ('" + seriesUid
            + "', 'PAT001', '20240102')");
        const qint64 received = QDateTime::currentSecsSinceEpoch();
        db.transaction();
        for (int i = 0; i < sliceCount; ++i) {
            query.prepare("INSERT INTO DICOMImages (SOPInstanc, SeriesInst, ImagePat, ImageDate, ObjectFile, "
                          "AccessTime, DeviceName) VALUES (?, ?, 'PAT001', '20240102', ?, ?, 'MAG0')");
            query.addBindValue(seriesUid + QString(".%1").arg(i + 1));
            query.addBindValue(seriesUid);
            query.addBindValue(QString("PAT001/slice%1.v2").arg(i, 3, 10, QLatin1Char('0')));
            query.addBindValue(received);
            query.exec();
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase("bench");
    if (!openAndUpgrade(database).isEmpty())
        qFatal("cannot upgrade the database");
    return database;
}

// Posts an event to the main window's thread from a thread of its own and
// notes how long it waited before the window got it; the next one is posted
// 10 ms after that answer, so a blocked window shows as one long wait.
class AnswerProbe : public QObject {
public:
    static inline const QEvent::Type probeType = static_cast<QEvent::Type>(QEvent::registerEventType());

    void start()
    {
        running_ = true;
        poster_ = std::thread([this] {
            while (running_) {
                postedAt_ = Clock::now();
                pending_ = true;
                QCoreApplication::postEvent(this, new QEvent(probeType));
                while (running_ && pending_)
                    std::this_thread::sleep_for(std::chrono::microseconds(200));
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        });
    }

    // The waits in ms, sorted.
    std::vector<double> stop()
    {
        running_ = false;
        poster_.join();
        QCoreApplication::sendPostedEvents(this, probeType);
        std::sort(waits_.begin(), waits_.end());
        std::vector<double> result;
        result.swap(waits_);
        return result;
    }

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != probeType)
            return QObject::event(event);
        waits_.push_back(std::chrono::duration<double, std::milli>(Clock::now() - postedAt_.load()).count());
        pending_ = false;
        return true;
    }

private:
    std::thread poster_;
    std::atomic_bool running_{false};
    std::atomic_bool pending_{false};
    std::atomic<Clock::time_point> postedAt_{Clock::now()};
    std::vector<double> waits_;
};

struct Figures {
    double seconds = 0;
    double median = 0;
    double worst = 0;
    int answers = 0;
    bool prepared = false;
};

template <typename Prepare> Figures measure(AnswerProbe& probe, Prepare prepare)
{
    QElapsedTimer timer;
    timer.start();
    probe.start();
    const bool prepared = prepare();
    const std::vector<double> waits = probe.stop();
    Figures figures;
    figures.seconds = timer.nsecsElapsed() / 1e9;
    figures.prepared = prepared;
    figures.answers = static_cast<int>(waits.size());
    if (!waits.empty()) {
        figures.median = waits[waits.size() / 2];
        figures.worst = waits.back();
    }
    return figures;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QTemporaryDir dir;
    std::printf(
        "Writing %d CT slices of 512 x 512 at 12 bits, their pictures and their rows...\n", sliceCount);
    ExamCdRequest request;
    request.exam = {seriesUid, seriesUid + ".1", "PAT001", "DUPONT JEAN", "02/01/2024"};
    request.conquestPath = writeExam(dir.path());
    request.imageRoot = dir.filePath("store/");
    request.letterhead = "Cabinet de radiologie";
    request.folders = {dir.filePath("ToBurn.tmp"), dir.filePath("DCM")};
    // The files were just written: the burn comes as if an hour later.
    request.now = [] { return QDateTime::currentDateTime().addSecs(3600); };

    QWidget mainWindow;
    mainWindow.resize(800, 600);
    mainWindow.show();
    AnswerProbe probe;
    DcmtkImageConverters converters;

    auto ready = [](const CdPreparationOutcome& outcome) {
        if (!outcome.prepared)
            std::printf("  not ready: %s\n", qPrintable(outcome.error));
        return outcome.prepared;
    };
    auto offTheUiThread = [&] {
        return ready(runInBackground<CdPreparationOutcome>(&mainWindow, {CdPreparationMessage, false},
            [&](WorkProgress&) { return prepareExamCd(request, converters); }));
    };
    auto onTheUiThread = [&] { return ready(prepareExamCd(request, converters)); };

    const Figures background = measure(probe, offTheUiThread);
    const Figures blocking = measure(probe, onTheUiThread);
    std::printf("CD of %d images prepared off the UI thread in %.2f s (%s), %d answers\n", sliceCount,
        background.seconds, background.prepared ? "ready" : "NOT READY", background.answers);
    std::printf(
        "main window answer while the CD is prepared: worst %.1f ms, median %.1f ms (goal under 50 ms)\n",
        background.worst, background.median);
    std::printf("baseline, the same preparation on the UI thread: %.2f s, worst answer %.1f ms\n",
        blocking.seconds, blocking.worst);
    std::printf("ratio worst answer on the UI thread / off it: %.0fx\n",
        blocking.worst / std::max(background.worst, 0.001));
    return background.prepared && background.worst < 50 ? 0 : 1;
}
