// The image viewer opened from the exam page: the whole series (viewExamButton,
// Enter) or one image (a row of the image grid, a thumbnail). The monitor is
// paused while the viewer is open.
#include "MainWindow.h"

#include "AppValues.h"
#include "ExamPage.h"
#include "ImageViewing.h"
#include "JetDialect.h"
#include "PumpEvents.h"
#include "ViewerLoadingNotice.h"
#include "ViewerWindow.h"

#include <QTimer>

namespace vexa {

namespace {

// The opened exam as the viewer takes it.
Exam OpenedExam()
{
    const ExamIdentity& exam = CurrentExam();
    return {.seriesUid = exam.SelectedSeriesUID,
        .patientName = exam.ViewerPatientName,
        .examDate = exam.ViewerExamDate};
}

} // namespace

void MainWindow::ViewExam()
{
    if (!CurrentExam().ExamOpen)
        return;
    PauseMonitor();
    PrepareSeriesViewing(CurrentExam());
    RunViewer({.exam = OpenedExam()}, &sets.examImages);
    sets.examImages.moveFirst();
    ResumeMonitor();
}

void MainWindow::ShowOneImage()
{
    ExamIdentity& exam = CurrentExam();
    const int row = sets.examImages.currentRow();
    if (!PrepareSingleImage(sets.examImages, appValues().ConquestImagePath, exam))
        return;
    const ViewerRequest request{.exam = OpenedExam(),
        .imagePath = exam.ViewerImagePath,
        .sopInstance = sets.examImages.fieldText(QStringLiteral("SOPInstanc")),
        .start = ViewerRequest::Start::SingleFile};
    PauseMonitor();
    // Loading one image may take a moment: the notice says so at once, and
    // goes when the viewer is up.
    ViewerLoadingNotice notice(this);
    notice.show();
    PumpEvents(5); // the grid's double click is done before the viewer covers it
    // The viewer leaves a printed single image to its opener.
    exam.PrintedInViewer = RunViewer(request, nullptr, &notice).printed;
    MarkSingleImagePrinted(sets.examImages, row, exam);
    ResumeMonitor();
}

void MainWindow::ThumbnailDoubleClick(const QString& tag)
{
    // An empty thumbnail names no image; its double click shows nothing.
    if (tag.isEmpty() || !sets.examImages.findFirst(QStringLiteral("ObjectFile = ") + JetQuote(tag)))
        return;
    ShowOneImage();
}

// `images` is the exam's record set in series mode, null for one image; the
// loading notice, if any, is closed once the viewer runs.
ViewerOutcome MainWindow::RunViewer(const ViewerRequest& request, RecordSet* images, QWidget* loadingNotice)
{
    ViewerOutcome outcome;
    {
        ViewerWindow viewer(request, images, this);
        if (loadingNotice)
            QTimer::singleShot(0, loadingNotice, &QWidget::close);
        viewer.exec();
        outcome = viewer.outcome();
    }
    activateWindow();
    return outcome;
}

void MainWindow::PauseMonitor()
{
    SetSurveyInterval(0);
}

// Back to the monitor's interval, with one tick so the notice is current at once.
void MainWindow::ResumeMonitor()
{
    SetSurveyInterval(appValues().MonitorInterval);
    MonitorTick();
}

} // namespace vexa
