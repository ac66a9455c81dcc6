// Writes a screenshot of the viewer on the second of three generated
// radiographs, with its indicator, the file's window applied from the key 1,
// a distance, an angle and a text: viewer_screenshot <output.png>.
#include "ScriptedDialogService.h"
#include "TestSeries.h"
#include "base/core/AppValues.h"
#include "base/core/DialogService.h"
#include "pacsdb/QueryCatalogue.h"
#include "pacsdb/RecordSet.h"
#include "viewer/measure/MeasurementController.h"
#include "viewer/window/ViewerWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

using namespace vexa;

namespace {

void clickAt(MeasurementController& measures, std::initializer_list<QPointF> points)
{
    for (QPointF p : points)
        measures.click(p, Qt::LeftButton);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv(
        "QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("viewer-measures.png");
    QTemporaryDir folder;
    const TestSeries series = makeTestSeries(folder.path(), 3, QSize(1024, 1250), 0.2);
    if (!series.error.isEmpty())
        return 1;
    ScriptedDialogService dialogs;
    appValues().conquestImagePath = series.imageRoot;
    RecordSet images(QStringLiteral("ConnExamen"));
    images.setDatabasePath(series.databasePath);
    images.setRecordSource(sql::imagesOfSeries(series.seriesUid));
    images.requery();
    ViewerWindow viewer(ViewerRequest{}, &images);
    viewer.openWindow();
    const auto settle = [&viewer] {
        while (viewer.loading()) // decoded on a worker thread
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QApplication::processEvents();
    };
    settle();
    const auto press = [&viewer, &settle](int key) {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&viewer, &down);
        settle();
    };
    press(Qt::Key_PageDown);
    press(Qt::Key_1);
    MeasurementController& measures = *viewer.measurements();
    measures.choose(MeasurementController::PanelCommand::Distance);
    clickAt(measures, {{180, 300}, {620, 960}});
    measures.choose(MeasurementController::PanelCommand::VertexAngle);
    clickAt(measures, {{760, 250}, {560, 560}, {900, 640}});
    measures.setTextToPlace(QStringLiteral("Face"));
    measures.setTextSize(QStringLiteral("28"));
    measures.choose(MeasurementController::PanelCommand::Text);
    clickAt(measures, {{120, 140}});
    for (int i = 0; i < 20; ++i) { // the window manager settles the window
        QApplication::processEvents();
        QThread::msleep(25);
    }
    if (!viewer.grab().save(output)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(output));
        return 1;
    }
    std::printf("%s\n", qPrintable(output));
    return 0;
}
