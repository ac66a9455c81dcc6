// Writes a screenshot of the viewer showing a distance, an angle and a text on
// a generated radiograph: viewer_screenshot <output.png>.
#include "AppValues.h"
#include "DialogService.h"
#include "ExamIdentity.h"
#include "MeasurementController.h"
#include "ScriptedDialogService.h"
#include "TestSeries.h"
#include "ViewerWindow.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
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
    const TestSeries series = MakeTestSeries(folder.path(), 1, QSize(1024, 1250), 0.2);
    if (!series.error.isEmpty())
        return 1;
    ScriptedDialogService dialogs;
    CurrentExam() = ExamIdentity{};
    CurrentExam().ViewerImagePath = series.imagePath(0);
    CurrentExam().ViewerStep = 99999;
    CurrentExam().ViewerPatientName = QStringLiteral("DUPONT JEAN");
    CurrentExam().ViewerExamDate = QStringLiteral("14/03/2026");

    ViewerWindow viewer(nullptr);
    viewer.openWindow();
    viewer.showNormal();
    viewer.resize(1280, 900);
    QApplication::processEvents();
    MeasurementController& measures = *viewer.measurements();
    measures.choose(MeasurementController::PanelCommand::Distance);
    clickAt(measures, {{180, 300}, {620, 960}});
    measures.choose(MeasurementController::PanelCommand::VertexAngle);
    clickAt(measures, {{760, 250}, {560, 560}, {900, 640}});
    measures.setTextToPlace(QStringLiteral("Face"));
    measures.setTextSize(QStringLiteral("28"));
    measures.choose(MeasurementController::PanelCommand::Text);
    clickAt(measures, {{120, 140}});
    QApplication::processEvents();
    if (!viewer.grab().save(output)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(output));
        return 1;
    }
    std::printf("%s\n", qPrintable(output));
    return 0;
}
