// Changing image in the viewer on a series of 2048 x 2500 radiographs with a
// few graphics each: save the measurements of the image left, load the next
// file, read its measurements, render and repaint. Goal: under 200 ms.
#include "ScriptedDialogService.h"
#include "TestSeries.h"
#include "base/core/AppValues.h"
#include "base/core/DialogService.h"
#include "pacsdb/QueryCatalogue.h"
#include "pacsdb/RecordSet.h"
#include "viewer/measure/DgrFile.h"
#include "viewer/view/DicomView.h"
#include "viewer/window/ViewerWindow.h"

#include <brixel/Button.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vexa;

namespace {

constexpr int ImageCount = 6;
constexpr int Changes = 20;

MeasurementTable someGraphics()
{
    MeasurementTable table;
    table[1] = {MeasurementKind::Distance, 300, 400, 1500, 1900};
    table[1].label = QStringLiteral("391,22 mm");
    table[2] = {MeasurementKind::VertexAngle, 600, 900, 900, 1200, 900, 1200, 1300, 1000};
    table[2].label = QStringLiteral(" 71,57 ° ");
    table[3] = {MeasurementKind::Text, 200, 200, 20};
    table[3].label = QStringLiteral("Face");
    table[4] = {MeasurementKind::HeightDifference, 1000, 500, 1000, 800};
    table[4].label = QStringLiteral("60,00 mm");
    return table;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv(
        "QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir folder;
    const TestSeries series = makeTestSeries(folder.path(), ImageCount, QSize(2048, 2500), 0.15);
    if (!series.error.isEmpty()) {
        std::fprintf(stderr, "series not written: %s\n", qPrintable(series.error));
        return 1;
    }
    for (int i = 0; i < ImageCount; ++i)
        writeMeasurementFile(series.imagePath(i), someGraphics());

    ScriptedDialogService dialogs;
    for (int i = 0; i < Changes; ++i)
        dialogs.answerMessage(MsgResult::Yes); // review again at the end of the series
    appValues().conquestImagePath = series.imageRoot;
    RecordSet images(QStringLiteral("ConnExamen"));
    images.setDatabasePath(series.databasePath);
    images.setRecordSource(sql::imagesOfSeries(series.seriesUid));
    images.requery();
    ViewerWindow viewer(ViewerRequest{}, &images);
    viewer.resize(1280, 1024);
    viewer.openWindow();
    while (viewer.loading())
        QApplication::processEvents();
    auto* next = viewer.findChild<brixel::Button*>(QStringLiteral("button10"));
    if (next == nullptr)
        return 1;

    std::vector<double> times;
    int shown = 0;
    for (int i = 0; i < Changes; ++i) {
        QElapsedTimer timer;
        timer.start();
        emit next->Click();
        while (viewer.loading()) // decoded on a worker thread
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        viewer.repaint(); // the new image and its graphics on screen
        times.push_back(timer.nsecsElapsed() / 1e6);
        shown += viewer.display()->hasImage() && viewer.display()->imageSize() == QSize(2048, 2500) ? 1 : 0;
    }
    if (shown != Changes) {
        std::fprintf(stderr, "only %d of %d changes showed a radiograph\n", shown, Changes);
        return 1;
    }
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double t : times)
        sum += t;
    std::printf(
        "viewer image change, %d x 2048x2500 radiographs, 4 graphics each, window 1280x1024\n", Changes);
    std::printf("  mean %.1f ms, median %.1f ms, max %.1f ms (goal < 200 ms)\n", sum / times.size(),
        times[times.size() / 2], times.back());
    std::printf("  note: from the click to the repaint after the worker thread's decode\n");
    return 0;
}
