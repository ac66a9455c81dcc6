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

void MainWindow::connectPages()
{
    connect(searchPage, &SearchPage::datesChanged, this, &MainWindow::dateSearch);
    connect(searchPage, &SearchPage::openRequested, this, &MainWindow::openExamFromList);
    connect(examPage, &ExamPage::thumbnailClicked, this, &MainWindow::thumbnailClick);
    connect(examPage, &ExamPage::thumbnailDoubleClicked, this, &MainWindow::thumbnailDoubleClick);
    connect(examPage, &ExamPage::imageActivated, this, &MainWindow::showOneImage);
    connect(examPage, &ExamPage::viewExamRequested, this, &MainWindow::viewExamAction);
}

int MainWindow::page() const
{
    return pageTabs->currentIndex() + 1;
}

void MainWindow::selectPage(int page)
{
    pageTabs->setCurrentIndex(page - 1);
}

void MainWindow::pageChanged(int index)
{
    const PageChange change = decidePageChange(index + 1, openedExam_.isValid());
    if (change.warnNoExam) {
        msgBox(noExamSelectedText(), MsgIcon::Exclamation, MsgButtons::Ok, ProgramTitle);
        selectPage(1);
        return;
    }
    pageStack->setCurrentIndex(index);
    setSurveyInterval(change.monitorRuns ? appValues().monitorInterval : 0);
    if (!change.openOptions)
        return;
    // The options would move the lists to another database under a running action.
    if (!actionRunning())
        openOptions();
    selectPage(1);
}

void MainWindow::dateSearch()
{
    const int count = searchPage->searchByDate();
    if (monitor)
        monitor->setSeriesListCount(count);
}

void MainWindow::openExamFromList(ExamList list)
{
    // One opening at a time, and none under another action: the export's
    // waiting window serves timers meanwhile, and a second opening would mix
    // one exam's rows with another's pictures.
    if (actionRunning())
        return;
    opening_ = true;
    // The exam shown before is closed: page 2's rows become the new one's.
    closeExam();
    // The monitor rests for the whole opening; it would requery the lists
    // and name rows under the opening's feet.
    pauseMonitor();
    const Exam opened = openExam(sets, searchPage->listRecordSet(list), conquestPath_,
        appValues().conquestImagePath, exportSeries, examPage->thumbnails());
    openedExam_ = opened;
    if (page() == 1)
        resumeMonitor();
    opening_ = false;
    if (!opened.isValid())
        return;
    examPage->showExam();
    if (monitor) {
        monitor->setNotice(NoticeState::NewSettled);
        showNotice(); // now, not at the next tick
    }
    selectPage(2);
}

void MainWindow::thumbnailClick(const QString& tag)
{
    if (!tag.isEmpty())
        sets.examImages.findFirst(QStringLiteral("ObjectFile = ") + jetQuote(tag));
}

bool MainWindow::handleKey(QKeyEvent* event, const QWidget* target)
{
    if (!shortcutsEnabled_)
        return false;
    const int key = event->key();
    if (key == Qt::Key_F1) {
        helpAction();
        return true;
    }
    if (page() == 2 && (key == Qt::Key_F10 || key == Qt::Key_F11 || key == Qt::Key_F12)) {
        if (key == Qt::Key_F10)
            interpretationAction();
        else if (key == Qt::Key_F11)
            printSheetAction();
        else
            burnExamAction();
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
        openExamFromList(list);
        return true;
    }
    if (page() == 2 && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        viewExam();
        return true;
    }
    if (page() == 2 && key == Qt::Key_Escape) {
        closeExamAction();
        return true;
    }
    return false;
}

} // namespace vexa
