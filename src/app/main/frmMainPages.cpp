// The pages of the main window: page changes, the searches of page 1, the
// opening of an exam into page 2, and the keyboard shortcuts.
#include "frmMain.h"

#include "AppValues.h"
#include "DialogService.h"
#include "ExamIdentity.h"
#include "ExamLists.h"
#include "ExamPage.h"
#include "JetDialect.h"
#include "Misc.h"
#include "SearchPage.h"

#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTabBar>

namespace vexa {

void frmMain::ConnectPages()
{
    connect(Page1, &SearchPage::datesChanged, this, &frmMain::DateSearch);
    connect(Page1, &SearchPage::patientTextChanged, this, &frmMain::PatientSearch);
    connect(Page1, &SearchPage::openRequested, this, &frmMain::OpenExamFromList);
    connect(Page2, &ExamPage::thumbnailClicked, this, &frmMain::ThumbnailClick);
    connect(Page2, &ExamPage::thumbnailDoubleClicked, this, &frmMain::ThumbnailDoubleClick);
    connect(Page2, &ExamPage::imageActivated, this, &frmMain::ShowOneImage);
    connect(Page2, &ExamPage::viewExamRequested, this, &frmMain::ViewExam);
}

int frmMain::page() const
{
    return VexaTab1->currentIndex() + 1;
}

void frmMain::SelectPage(int page)
{
    VexaTab1->setCurrentIndex(page - 1);
}

void frmMain::PageChanged(int index)
{
    if (changingPage_)
        return;
    const PageChange change = DecidePageChange(index + 1, CurrentExam().ExamOpen);
    if (change.warnNoExam) {
        MsgBox(NoExamSelectedText(), MsgIcon::Exclamation, MsgButtons::Ok, QStringLiteral("VexaDicom"));
        SelectPage(1);
        return;
    }
    Fonds->setCurrentIndex(index);
    SetSurveyInterval(change.monitorRuns ? appValues().MonitorInterval : 0);
    previousPage_ = index + 1;
    if (!change.openOptions)
        return;
    PumpEvents(10);
    OpenOptions();
    SelectPage(1);
}

void frmMain::DateSearch()
{
    const DateSearchResult result = RunDateSearch(
        sets.ConnSeriesData, conquestPath_, Page1->CalendarVB1[0]->date(), Page1->CalendarVB1[1]->date());
    Page1->Button8[0]->setVisible(result.viewButtonVisible);
    Page1->Label7->setText(result.label7);
    if (monitor)
        monitor->setSeriesListCount(result.count);
}

void frmMain::PatientSearch(const QString& text)
{
    Page1->Button8[1]->setVisible(RunPatientSearch(sets.ConnPatientSeries, conquestPath_, text));
}

void frmMain::OpenExamFromList(int list)
{
    RecordSet* lists[3] = {&sets.ConnSeriesData, &sets.ConnPatientSeries, &sets.ConnPatientNotBurned};
    const AppValues& values = appValues();
    if (!OpenExam(
            sets, *lists[list], conquestPath_, values.ConquestImagePath, exportSeries, Page2->thumbnails()))
        return;
    Page2->showExam();
    if (monitor) {
        monitor->setNotice(NoticeState::NewSettled);
        ShowNotice(); // now, not at the next tick
    }
    SelectPage(2);
}

void frmMain::ThumbnailClick(const QString& tag)
{
    if (!tag.isEmpty())
        sets.ConnExamen.findFirst(QStringLiteral("ObjectFile = ") + JetQuote(tag));
}

bool frmMain::HandleKey(QKeyEvent* event)
{
    if (!shortcutsEnabled_)
        return false;
    const int key = event->key();
    if (page() == 1 && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        if (Page1->Button8[2]->isHidden())
            return false;
        OpenExamFromList(2);
        return true;
    }
    if (page() == 2 && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        ViewExam();
        return true;
    }
    if (page() == 2 && key == Qt::Key_Escape) {
        CurrentExam().ExamOpen = false;
        SelectPage(1);
        return true;
    }
    return false;
}

} // namespace vexa
