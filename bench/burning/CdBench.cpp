// Patient CD benchmark on a generated CT series of 254 slices (512 x 512, 12
// bits, stored as Conquest ".v2" files whose pictures were exported before):
// - the CD preparation in process (standard DICOM files, DICOMDIR, picture
//   copies, page) against the same preparation with the external way, DCMTK's
//   "dcmconv +te" run once per image and "dcmgpdir" for the DICOMDIR, with
//   their ratio;
// - the burn of that CD to an ISO image file through libburn: time and
//   throughput, and the time of the read-back check alone.
#include "CtSeries.h"
#include "burning/cd/CdPreparation.h"
#include "burning/engine/BurnFileList.h"
#include "burning/engine/IsoReadBack.h"
#include "burning/engine/LibburnEngine.h"
#include "burning/export/ImageConverters.h"
#include "dicom/DicomWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>
#include <cstdio>

using namespace vexa;

namespace {

constexpr int sliceCount = 254;

QList<CdImage> writeSeries(const QString& folder)
{
    QList<CdImage> images;
    for (const QString& path : bench::writeCtSeries(folder, newDicomUid(), sliceCount))
        images.push_back({path});
    return images;
}

bool runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    const bool ok = process.waitForFinished(-1) && process.exitCode() == 0;
    if (!ok)
        std::printf("  %s: %s\n", qPrintable(program), process.readAllStandardError().constData());
    return ok;
}

// The external way: one DCMTK program run per image, one for the DICOMDIR.
class ExternalConverters : public DcmtkImageConverters {
public:
    DicomResult makeStandardDicomFile(const QString& imagePath, const QString& targetPath) override
    {
        return runTool("dcmconv", {"+te", imagePath, targetPath}) ? DicomResult::success()
                                                                  : DicomResult::failure("dcmconv");
    }
    DicomResult makeDicomDir(
        const QString& dicomDirPath, const QString& fileSetId, const QString& folder) override
    {
        return runTool("dcmgpdir", {"-q", "+D", dicomDirPath, "+F", fileSetId, "+r", "+id", folder, "DICOM"})
            ? DicomResult::success()
            : DicomResult::failure("dcmgpdir");
    }
};

double prepare(const QList<CdImage>& images, const CdWorkFolders& folders, ImageConverters& converters,
    QThreadPool* pool, int& imagesOnCd)
{
    QElapsedTimer timer;
    timer.start();
    const CdPreparationOutcome outcome
        = prepareCd(images, {"Cabinet de radiologie", "DUPONT^JEAN", "02/01/2024"}, folders,
            programCdSources(), converters, nullptr, pool);
    const double seconds = timer.nsecsElapsed() / 1e9;
    imagesOnCd = outcome.imagesOnCd;
    if (!outcome.problems.isEmpty())
        std::printf("  problems: %s\n", qPrintable(outcome.problems.join("; ")));
    return seconds;
}

qint64 folderBytes(const QString& folder)
{
    qint64 bytes = 0;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        bytes += QFileInfo(it.next()).size();
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    std::printf("Writing %d CT slices of 512 x 512 at 12 bits and their pictures...\n", sliceCount);
    const QList<CdImage> images = writeSeries(dir.filePath("store"));
    const CdWorkFolders folders{dir.filePath("ToBurn.tmp"), dir.filePath("DCM")};

    int placed = 0;
    DcmtkImageConverters converters;
    const double inProcess = prepare(images, folders, converters, nullptr, placed);
    std::printf("CD preparation in process (worker pool, %d threads): %.2f s for %d images\n",
        QThreadPool::globalInstance()->maxThreadCount(), inProcess, placed);
    QThreadPool onePool;
    onePool.setMaxThreadCount(1);
    DcmtkImageConverters inProcessConverters;
    const double inProcessOne = prepare(images, folders, inProcessConverters, &onePool, placed);
    std::printf("CD preparation in process (one thread):              %.2f s\n", inProcessOne);
    if (QStandardPaths::findExecutable("dcmconv").isEmpty()
        || QStandardPaths::findExecutable("dcmgpdir").isEmpty()) {
        std::printf("dcmconv or dcmgpdir not found: external way not measured\n");
    } else {
        ExternalConverters external;
        const double outside = prepare(images, folders, external, &onePool, placed);
        std::printf(
            "CD preparation with dcmconv per image and dcmgpdir:  %.2f s for %d images\n", outside, placed);
        std::printf("ratio external / in process: %.1fx (pool), %.1fx (one thread)\n", outside / inProcess,
            outside / inProcessOne);
        prepare(images, folders, inProcessConverters, nullptr, placed); // the CD burned below
    }

    CdFolderTable folderTable;
    const BurnTree tree = treeToBurn(folders.cdFolder, listFilesToBurn(folders.cdFolder), folderTable);
    const double megabytes = folderBytes(folders.cdFolder) / 1e6;
    LibburnEngine engine;
    BurnJob job;
    job.writer = static_cast<int>(engine.writers().size()) - 1;
    job.speed = engine.writeSpeeds(job.writer).value(0);
    job.tree = tree;
    job.imageFile = dir.filePath("patient.iso");
    QElapsedTimer timer;
    QEventLoop loop;
    int status = -1;
    qint64 verifyStartNs = 0;
    QObject::connect(&engine, &BurnEngine::phaseChanged, [&](const QString& phase) {
        if (phase.startsWith("Vérification"))
            verifyStartNs = timer.nsecsElapsed();
    });
    QObject::connect(&engine, &BurnEngine::burnDone, [&](int s) {
        status = s;
        loop.quit();
    });
    timer.start();
    engine.startBurn(job);
    loop.exec();
    const double burnSeconds = timer.nsecsElapsed() / 1e9;
    const double verifySeconds = (timer.nsecsElapsed() - verifyStartNs) / 1e9;
    std::printf("burn to an ISO file through libburn (status %d): %.2f s for %.1f MB of files, %.1f MB/s "
                "(read-back check included: %.2f s)\n",
        status, burnSeconds, megabytes, megabytes / burnSeconds, verifySeconds);
    timer.restart();
    const ReadBackResult again = compareIsoFileWithTree(job.imageFile, tree);
    std::printf("read-back check alone: %.2f s (%s), ISO image %.1f MB\n", timer.nsecsElapsed() / 1e9,
        again.ok ? "equal" : qPrintable(again.problem), QFileInfo(job.imageFile).size() / 1e6);
    return status == burn_status::Succeeded && again.ok ? 0 : 1;
}
