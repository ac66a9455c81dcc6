// Paging through a multi-frame file in the display, as the wheel does: each
// frame is read from the file when it is shown. A 400-frame 512 x 512 file,
// uncompressed and RLE: the time of the first display and of each frame
// change (read, window, render, paint), and their ratio.
#include "dicom/DicomWriter.h"
#include "viewer/view/DicomView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vexa;

namespace {

constexpr int Side = 512;
constexpr int Frames = 400;
constexpr int Changes = 120;

bool writeFrames(const QString& path)
{
    NewDicomImage image;
    image.patientName = QStringLiteral("BENCH^FRAMES");
    image.studyInstanceUid = newDicomUid();
    image.seriesInstanceUid = newDicomUid();
    image.sopInstanceUid = newDicomUid();
    image.sopClassUid = sop_class::XRayAngiographic;
    image.modality = QStringLiteral("XA");
    image.columns = Side;
    image.rows = Side;
    image.frames = Frames;
    image.pixelData.reserve(Side * Side * 2 * Frames);
    for (int frame = 0; frame < Frames; ++frame)
        for (int r = 0; r < Side; ++r)
            for (int c = 0; c < Side; ++c) {
                const int value = (c * 3 + r * 5 + frame * 7) % 4096;
                image.pixelData.append(char(value & 0xFF)).append(char(value >> 8));
            }
    return writeDicomImage(image, path, DicomFileLayout::WithMetaHeader).ok;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One pass through the file; printed unless it is the warm-up.
void report(const char* name, const QString& path, bool print = true)
{
    DicomView view;
    view.resize(1000, 800);
    view.show();
    QElapsedTimer timer;
    timer.start();
    view.setDisplayFile(path);
    view.grab(); // rendered and painted
    const double first = double(timer.nsecsElapsed()) / 1e6;
    if (!view.hasImage()) {
        std::printf("%-14s cannot be shown: %s\n", name, qPrintable(view.loadError()));
        return;
    }
    std::vector<double> changes;
    for (int i = 1; i <= Changes; ++i) {
        timer.restart();
        view.showFrame(i * (Frames - 1) / Changes); // forwards through the whole file
        view.grab(); // rendered and painted
        changes.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    const double medianMs = median(changes);
    if (!print)
        return;
    std::printf(
        "%-14s first display %7.1f ms, frame change median %6.1f ms, slowest %6.1f ms (%.2f of the first)\n",
        name, first, medianMs, *std::max_element(changes.begin(), changes.end()), medianMs / first);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv(
        "QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString raw = dir.filePath(QStringLiteral("frames.dcm"));
    const QString rle = dir.filePath(QStringLiteral("frames_rle.dcm"));
    if (!writeFrames(raw) || QProcess::execute(QStringLiteral("dcmcrle"), {raw, rle}) != 0) {
        std::printf("cannot write the test files\n");
        return 1;
    }
    std::printf(
        "Paging through %d frames of %d x %d, 16 bits, in a 1000 x 800 display\n", Frames, Side, Side);
    report("uncompressed", raw);
    report("RLE", rle);
    return 0;
}
