// Memory taken to show one image, above the program's idle size: frame 1 of
// a 400-frame 512 x 512 file and a 2048 x 2500 radiograph (goal: under 64 MB
// each). Each image is measured in a child process of its own: after a
// warm-up load (codecs registered, libraries paged in) the peak resident
// size is reset, the image is loaded and drawn into a 1280 x 1024 view as
// the viewer does, and the new peak is compared with the idle size.
#include "SyntheticPixels.h"
#include "dicom/DicomLoader.h"
#include "dicom/DicomWriter.h"
#include "dicom/DisplayLut.h"
#include "dicom/ViewRenderer.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>

using namespace vexa;

namespace {

constexpr double goalMegabytes = 64.0;

long statusKilobytes(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(static_cast<qsizetype>(std::strlen(field)))
                .trimmed()
                .split(' ')
                .value(0)
                .toLong();
    return -1;
}

void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

NewDicomImage baseImage(int columns, int rows)
{
    NewDicomImage image;
    image.patientName = QStringLiteral("DUPONT^JEAN");
    image.sopInstanceUid = newDicomUid();
    image.sopClassUid = sop_class::SecondaryCapture;
    image.columns = columns;
    image.rows = rows;
    image.windowCenter = 1700;
    image.windowWidth = 2600;
    return image;
}

// Child: warm up on `warmUp`, then load and draw frame `frame` of `path`.
int measure(const QString& warmUp, const QString& path, int frame)
{
    const DicomLoadResult first = loadDicomImage(warmUp);
    if (!first.ok())
        return 2;
    resetPeak();
    const long idle = statusKilobytes("VmRSS:");
    DicomLoadOptions options;
    options.frame = frame;
    const DicomLoadResult loaded = loadDicomImage(path, options);
    if (!loaded.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(loaded.error));
        return 3;
    }
    const DicomImageData& image = *loaded.image;
    const DisplayLut lut = makeDisplayLut(image, image.defaultWindow, false);
    const QImage view = renderView(image, lut, {100, 0, 0}, QSize(1280, 1024));
    const long peak = statusKilobytes("VmHWM:");
    std::printf("%ld %ld %d %d\n", idle, peak, image.frameCount, view.isNull() ? 0 : 1);
    return 0;
}

bool report(const char* label, const QString& warmUp, const QString& path, int frame)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
        {QStringLiteral("--measure"), warmUp, path, QString::number(frame)});
    if (!child.waitForFinished(600000) || child.exitCode() != 0) {
        std::printf("%-44s failed: %s\n", label, child.readAllStandardError().constData());
        return false;
    }
    const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
    const double idle = figures.value(0).toDouble() / 1024.0, peak = figures.value(1).toDouble() / 1024.0;
    const double above = peak - idle;
    std::printf("%-44s idle %6.1f MB  peak %6.1f MB  above idle %6.1f MB  (goal < %.0f MB: %s)\n", label,
        idle, peak, above, goalMegabytes, above < goalMegabytes ? "met" : "MISSED");
    return above < goalMegabytes;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 5 && arguments[1] == QStringLiteral("--measure"))
        return measure(arguments[2], arguments[3], arguments[4].toInt());

    QTemporaryDir dir;
    NewDicomImage small = baseImage(64, 64);
    small.pixelData = demo::chestRadiograph(64, 64, 3);
    const QString warmUp = dir.filePath("small.v2");
    NewDicomImage radiograph = baseImage(2048, 2500);
    radiograph.pixelData = demo::chestRadiograph(2048, 2500, 7);
    const QString radiographPath = dir.filePath("cr.v2");
    NewDicomImage frames = baseImage(512, 512);
    frames.frames = 400;
    const QByteArray oneFrame = demo::chestRadiograph(512, 512, 11);
    frames.pixelData.reserve(oneFrame.size() * 400);
    for (int i = 0; i < 400; ++i)
        frames.pixelData.append(oneFrame);
    const QString framesPath = dir.filePath("frames.dcm");
    if (!writeDicomImage(small, warmUp, DicomFileLayout::BareImplicitLittle).ok
        || !writeDicomImage(radiograph, radiographPath, DicomFileLayout::BareImplicitLittle).ok
        || !writeDicomImage(frames, framesPath, DicomFileLayout::WithMetaHeader).ok) {
        std::printf("cannot write the test images\n");
        return 1;
    }
    frames.pixelData.clear();
    radiograph.pixelData.clear();
    std::printf("Memory to show one image, above the idle program (file sizes: %lld MB and %lld MB)\n",
        QFile(framesPath).size() >> 20, QFile(radiographPath).size() >> 20);
    bool met = report("frame 1 of 400, 512 x 512, 16 bits", warmUp, framesPath, 0);
    met = report("frame 400 of 400, 512 x 512, 16 bits", warmUp, framesPath, 399) && met;
    met = report("radiograph 2048 x 2500, 12 bits", warmUp, radiographPath, 0) && met;
    return met ? 0 : 1;
}
