// Export benchmark on a generated series of 20 computed radiographs
// (2048 x 2500, 12 bits): images per second of the in-process export (both
// pictures per image, on the worker pool), of the external-converter way
// (DCMTK's dcmj2pnm run twice per image, one run after the other), their
// ratio, and libjpeg-turbo's encode rate on the same pixels as the ceiling.
#include "SyntheticPixels.h"
#include "burning/export/ImageConverters.h"
#include "dicom/DicomLoader.h"
#include "dicom/DicomWriter.h"
#include "dicom/JpegPictures.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtConcurrent/QtConcurrentMap>
#include <cstdio>
#include <ctime>

using namespace vexa;

namespace {

constexpr int imageCount = 20;

QStringList writeSeries(const QString& folder)
{
    QStringList paths;
    const QString series = newDicomUid();
    for (int i = 0; i < imageCount; ++i) {
        NewDicomImage image;
        image.patientName = "DUPONT^JEAN";
        image.patientId = "PAT001";
        image.studyInstanceUid = series + ".1";
        image.seriesInstanceUid = series;
        image.sopInstanceUid = newDicomUid();
        image.sopClassUid = sop_class::ComputedRadiography;
        image.modality = "CR";
        image.columns = 2048;
        image.rows = 2500;
        image.pixelData = demo::chestRadiograph(2048, 2500, static_cast<std::uint32_t>(i + 1));
        image.windowCenter = 1700;
        image.windowWidth = 2600;
        image.imagerPixelSpacing = std::pair{0.15, 0.15};
        const QString path = QStringLiteral("%1/img%2.v2").arg(folder).arg(i);
        if (!writeDicomImage(image, path, DicomFileLayout::BareImplicitLittle).ok)
            qFatal("cannot write %s", qPrintable(path));
        paths << path;
    }
    return paths;
}

struct Rate {
    double imagesPerSecond = 0;
    double cpuMsPerImage = 0; // processor time of the whole process, all threads
};

double processCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

Rate inProcessRate(const QStringList& images, bool pool)
{
    DcmtkImageConverters converters;
    const auto convert = [&converters](const QString& path) {
        if (!converters.makePreviewPicture(path).ok || !converters.makeFullSizePicture(path).ok)
            qFatal("conversion failed: %s", qPrintable(path));
    };
    QElapsedTimer clock;
    clock.start();
    const double cpuStart = processCpuSeconds();
    if (pool)
        QtConcurrent::blockingMap(images, convert);
    else
        for (const QString& path : images)
            convert(path);
    const double cpu = processCpuSeconds() - cpuStart;
    return {images.size() / (clock.nsecsElapsed() / 1e9), cpu * 1000.0 / images.size()};
}

bool runConverter(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("dcmj2pnm"), arguments);
    return process.waitForFinished(60000) && process.exitCode() == 0;
}

double externalRate(const QStringList& images)
{
    QElapsedTimer clock;
    clock.start();
    for (const QString& path : images) {
        QString stem = path;
        stem.chop(3);
        // Preview: longest side (the height here) 256 pixels; both with the file's window.
        if (!runConverter(
                {"--write-jpeg", "--use-window", "1", "--scale-y-size", "256", path, stem + ".jpeg"})
            || !runConverter({"--write-jpeg", "--use-window", "1", path, stem + ".jpg"}))
            qFatal("dcmj2pnm failed on %s", qPrintable(path));
    }
    return images.size() / (clock.nsecsElapsed() / 1e9);
}

double encodeCeiling(const QString& image)
{
    const DicomLoadResult loaded = loadDicomImage(image);
    const Pixels8 pixels = defaultWindowPixels(*loaded.image);
    const Pixels8 preview = resizedToLongestSide(pixels, PreviewLongestSide);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < imageCount; ++i) {
        encodeJpeg(pixels, 90);
        encodeJpeg(preview, 85);
    }
    return imageCount / (clock.nsecsElapsed() / 1e9);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    std::printf("Writing %d computed radiographs of 2048 x 2500 at 12 bits...\n", imageCount);
    const QStringList images = writeSeries(folder.path());

    const Rate pooledRate = inProcessRate(images, true);
    const Rate oneThread = inProcessRate(images, false);
    const double pooled = pooledRate.imagesPerSecond;
    std::printf("in-process export (worker pool, %d threads): %.2f images/s\n",
        QThreadPool::globalInstance()->maxThreadCount(), pooled);
    std::printf("in-process export (one thread):              %.2f images/s\n", oneThread.imagesPerSecond);
    // Processor time is less disturbed than the rates by other work on the machine.
    std::printf("in-process processor time per image: %.1f ms (pool), %.1f ms (one thread)\n",
        pooledRate.cpuMsPerImage, oneThread.cpuMsPerImage);
    if (QStandardPaths::findExecutable("dcmj2pnm").isEmpty()) {
        std::printf("dcmj2pnm not found: external way not measured\n");
    } else {
        const double external = externalRate(images);
        std::printf("external converters (dcmj2pnm x 2 per image): %.2f images/s\n", external);
        std::printf("ratio in-process / external: %.1f (goal: at least 10)\n", pooled / external);
    }
    std::printf("libjpeg-turbo encode ceiling (full size q90 + preview q85, one thread): %.2f images/s\n",
        encodeCeiling(images.first()));
    return 0;
}
