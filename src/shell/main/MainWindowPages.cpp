// The pages of the main window: page changes, the searches of page 1, the
// opening of an exam into page 2, and the keyboard shortcuts.
#include "shell/main/MainWindow.h"

#include "base/core/AppValues.h"
#include "base/core/DialogService.h"
#include "base/core/ProgramTitle.h"
#include "browser/ExamLists.h"
#include "browser/ExamPage.h"
#include "browser/SearchPage.h"
#include "pacsdb/JetDialect.h"

#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTabBar>

namespace vexa {

void MainWindow::ConnectPages()
{
    connect(searchPage, &SearchPage::datesChanged, this, &MainWindow::DateSearch);
    connect(searchPage, &SearchPage::openRequested, this, &MainWindow::OpenExamFromList);
    connect(examPage, &ExamPage::thumbnailClicked, this, &MainWindow::ThumbnailClick);
    connect(examPage, &ExamPage::thumbnailDoubleClicked, this, &MainWindow::ThumbnailDoubleClick);
    connect(examPage, &ExamPage::imageActivated, this, &MainWindow::ShowOneImage);
    connect(examPage, &ExamPage::viewExamRequested, this, &MainWindow::ViewExamAction);
}

int MainWindow::page() const
{
    return pageTabs->currentIndex() + 1;
}

void MainWindow::SelectPage(int page)
{
    pageTabs->setCurrentIndex(page - 1);
}

void MainWindow::PageChanged(int index)
{
    const PageChange change = DecidePageChange(index + 1, openedExam_.isValid());
    if (change.warnNoExam) {
        MsgBox(NoExamSelectedText(), MsgIcon::Exclamation, MsgButtons::Ok, ProgramTitle);
        SelectPage(1);
        return;
    }
    pageStack->setCurrentIndex(index);
    SetSurveyInterval(change.monitorRuns ? appValues().MonitorInterval : 0);
    if (!change.openOptions)
        return;
    // The options would move the lists to another database under a running action.
    if (!actionRunning())
        OpenOptions();
    SelectPage(1);
}

void MainWindow::DateSearch()
{
    const int count = searchPage->SearchByDate();
    if (monitor)
        monitor->setSeriesListCount(count);
}

void MainWindow::OpenExamFromList(ExamList list)
{
    // One opening at a time, and none under another action: the export's
    // waiting window serves timers meanwhile, and a second opening would mix
    // one exam's rows with another's pictures.
    if (actionRunning())
        return;
    opening_ = true;
    // The exam shown before is closed: page 2's rows become the new one's.
    CloseExam();
    // The monitor rests for the whole opening; it would requery the lists
    // and name rows under the opening's feet.
    PauseMonitor();
    const Exam opened = OpenExam(sets, searchPage->listRecordSet(list), conquestPath_,
        appValues().ConquestImagePath, exportSeries, examPage->thumbnails());
    openedExam_ = opened;
    if (page() == 1)
        ResumeMonitor();
    opening_ = false;
    if (!opened.isValid())
        return;
    examPage->showExam();
    if (monitor) {
        monitor->setNotice(NoticeState::NewSettled);
        ShowNotice(); // now, not at the next tick
    }
    SelectPage(2);
}

void MainWindow::ThumbnailClick(const QString& tag)
{
    if (!tag.isEmpty())
        sets.examImages.findFirst(QStringLiteral("ObjectFile = ") + JetQuote(tag));
}

bool MainWindow::HandleKey(QKeyEvent* event, const QWidget* target)
{
    if (!shortcutsEnabled_)
        return false;
    const int key = event->key();
    if (key == Qt::Key_F1) {
        HelpAction();
        return true;
    }
    if (page() == 2 && (key == Qt::Key_F10 || key == Qt::Key_F11 || key == Qt::Key_F12)) {
        if (key == Qt::Key_F10)
            InterpretationAction();
        else if (key == Qt::Key_F11)
            PrintSheetAction();
        else
            BurnExamAction();
        return true;
    }
    if (page() == 1 && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        // The list the user is in; a patient search still waiting for a
        // pause in the typing runs first, so the list shows what was typed.
        const ExamList list = searchPage->listWithFocus(target);
        if (list == ExamList::ByPatient)
            searchPage->settlePatientSearch();
        if (!searchPage->isListAvailable(list))
            return false;
        OpenExamFromList(list);
        return true;
    }
    if (page() == 2 && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        ViewExam();
        return true;
    }
    if (page() == 2 && key == Qt::Key_Escape) {
        CloseExamAction();
        return true;
    }
    return false;
}

} // namespace vexa
