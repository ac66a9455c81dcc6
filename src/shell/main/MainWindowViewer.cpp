// The image viewer opened from the exam page: the whole series (viewExamButton,
// Enter) or one image (a row of the image grid, a thumbnail). The viewer gets
// a request naming the exam and hands back an outcome; the monitor is paused
// while it is open.
#include "shell/main/MainWindow.h"

#include "base/core/AppValues.h"
#include "base/core/DialogService.h"
#include "browser/ExamPage.h"
#include "browser/ExamRows.h"
#include "browser/ImageViewing.h"
#include "pacsdb/ConquestColumns.h"
#include "pacsdb/ExamChecks.h"
#include "pacsdb/JetDialect.h"
#include "viewer/window/ViewerLoadingNotice.h"
#include "viewer/window/ViewerWindow.h"

#include <QTimer>

namespace vexa {

void MainWindow::viewExam()
{
    const Exam exam = openedExam_;
    if (!exam.isValid() || actionRunning())
        return;
    pauseMonitor();
    ViewerOutcome outcome;
    {
        ActionScope running(*this);
        outcome = showViewer(seriesViewing(exam), &sets.examImages);
    }
    if (openedExam_ == exam) {
        if (outcome.imageDeleted)
            loadMainThumbnails(sets, conquestPath_, appValues().conquestImagePath, examPage->thumbnails(),
                exam.seriesUid, 0);
        rereadExamImages(exam); // the viewer marks the images it printed
        sets.examImages.moveFirst();
    }
    resumeMonitor();
}

void MainWindow::showOneImage()
{
    const Exam exam = openedExam_;
    if (!exam.isValid() || actionRunning())
        return;
    const std::optional<ViewerRequest> request
        = singleImageViewing(sets.examImages, appValues().conquestImagePath);
    if (!request)
        return;
    // The image by its key: the list may be read again while the viewer is open.
    const QString sopInstance = sets.examImages.fieldText(col::SopInstance);
    pauseMonitor();
    // Loading one image may take a moment: the notice says so at once, and
    // goes when the viewer is up.
    ViewerLoadingNotice notice(this);
    notice.show();
    notice.repaint();
    ViewerOutcome outcome;
    {
        ActionScope running(*this);
        outcome = showViewer(*request, nullptr, &notice);
    }
    // The viewer leaves a printed single image to its opener.
    if (outcome.printed) {
        const ExamWrite marked = markImagePrinted(conquestPath_, sopInstance, QDate::currentDate());
        if (marked.outcome == ExamWrite::Gone)
            msgBox(examDeletedElsewhereText(), MsgIcon::Exclamation, MsgButtons::Ok,
                QStringLiteral("VexaDICOM"));
        else if (!marked.written())
            msgBox(QStringLiteral("L'image imprimée n'a pas pu être marquée comme imprimée :\r\n")
                    + marked.error,
                MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("VexaDICOM"));
        rereadExamImages(exam);
    }
    resumeMonitor();
}

void MainWindow::thumbnailDoubleClick(const QString& tag)
{
    // An empty thumbnail names no image; its double click shows nothing.
    if (tag.isEmpty() || !sets.examImages.findFirst(QStringLiteral("ObjectFile = ") + jetQuote(tag)))
        return;
    showOneImage();
}

// `images` is the exam's record set in series mode, null for one image; the
// loading notice, if any, is closed once the viewer runs.
ViewerOutcome MainWindow::showViewer(const ViewerRequest& request, RecordSet* images, QWidget* loadingNotice)
{
    if (loadingNotice)
        QTimer::singleShot(0, loadingNotice, &QWidget::close);
    ViewerOutcome outcome;
    if (runViewer) {
        outcome = runViewer(request, images);
    } else {
        ViewerWindow viewer(request, images, this);
        viewer.exec();
        outcome = viewer.outcome();
    }
    activateWindow();
    return outcome;
}

void MainWindow::pauseMonitor()
{
    setSurveyInterval(0);
}

// Back to the monitor's interval, with one tick so the notice is current at once.
void MainWindow::resumeMonitor()
{
    setSurveyInterval(appValues().monitorInterval);
    monitorTick();
}

} // namespace vexa
