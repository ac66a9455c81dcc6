// The main window's timers: the new-exam monitor and its notice, the blink
// of the notice picture, and the change of day; and the start-up steps that
// need the open database.
#include "MainWindow.h"

#include "AppValues.h"
#include "DialogService.h"
#include "ExamLists.h"
#include "ExamPage.h"
#include "PacsConnection.h"
#include "PacsUpgrade.h"
#include "SearchPage.h"
#include "StartupSteps.h"
#include "VexaVersion.h"

#include <QLabel>
#include <QTabBar>

namespace vexa {

void MainWindow::StartWithDatabase(const QString& conquestPath)
{
    OpenLists(conquestPath);
    dayTimer.start(60000);
    versionLabel->setText(VersionCaption(VexaVersionMajor, VexaVersionMinor, VexaVersionPatch));
}

// Every record set and the monitor on the database, the new rows named, the
// lists filled for today and page 1 shown.
void MainWindow::OpenLists(const QString& conquestPath)
{
    conquestPath_ = conquestPath;
    sets.setDatabasePath(conquestPath);
    searchPage->setDatabasePath(conquestPath);
    monitor = std::make_unique<NewExamMonitor>(sets, conquestPath, this);
    monitor->nameNewRows();
    SetSurveyInterval(appValues().MonitorInterval);
    MonitorTick();
    const QDate now = today();
    appValues().TodayDate = now;
    searchPage->setDays(now, now);
    DateSearch(); // the pickers may already have shown today without notice
    searchPage->setListAvailable(ExamList::NotBurned, sets.notBurnedSeries.count() > 0);
    SelectPage(1);
}

void MainWindow::ReopenDatabase(const QString& conquestPath)
{
    const QString failure = OpenAndUpgrade(conquestPath);
    if (!failure.isEmpty()) {
        // The lists stay on the database they show, and so does every write.
        MsgBox(OpenErrorText(failure), MsgIcon::Critical, MsgButtons::Ok, OpenErrorTitle());
        appValues().ConquestPath = conquestPath_;
        return;
    }
    SetSurveyInterval(0);
    CloseExam();
    for (RecordSet* set : {&sets.seriesByDate, &sets.seriesByPatient, &sets.notBurnedSeries, &sets.examImages,
             &sets.examSeries, &sets.examStudy, &sets.workSet, &sets.patientLookup})
        set->close();
    for (Thumbnail* thumbnail : examPage->Thumbnails) {
        thumbnail->clear();
        thumbnail->setTag(QString());
    }
    searchPage->setListAvailable(ExamList::ByPatient, false);
    const QString previous = conquestPath_;
    OpenLists(conquestPath);
    ClosePacsConnection(previous);
}

void MainWindow::SetSurveyInterval(int ms)
{
    surveyInterval_ = ms;
    if (monitor)
        monitor->setSurveyInterval(ms);
    if (ms > 0)
        monitorTimer.start(ms);
    else
        monitorTimer.stop();
}

int MainWindow::surveyInterval() const
{
    return surveyInterval_;
}

void MainWindow::MonitorTick()
{
    if (!monitor || surveyInterval_ == 0)
        return;
    const int listedBefore = monitor->SeriesListCount();
    monitor->tick();
    // The count label follows the date list when it grew at this tick,
    // whatever the label showed (a date search may have changed it since).
    if (monitor->SeriesListCount() > listedBefore)
        searchPage->setSeriesCountText(SeriesCountText(monitor->SeriesListCount()));
    ShowMonitorState();
}

void MainWindow::ShowMonitorState()
{
    const int picture = monitor->notBurnedPending() ? 0 : 1;
    imagesToPrintButton->setPicture(brixel::Picture::fromImage(imagesToPrintPictures[picture]));
    imagesToPrintButton->setToolTipText(picture == 0
            ? QStringLiteral("Des images attendent d'être imprimées : cliquer pour les imprimer")
            : QStringLiteral("Aucune nouvelle image à imprimer"));
    searchPage->setListAvailable(ExamList::ByDate, sets.seriesByDate.count() > 0);
    searchPage->setListAvailable(ExamList::ByPatient, sets.seriesByPatient.count() > 0);
    searchPage->setListAvailable(ExamList::NotBurned, monitor->notBurnedNoticed());
    ShowNotice();
}

void MainWindow::ShowNotice()
{
    noticeLabel->setText(monitor->noticeText());
    noticeLabel->show();
    receivingPicture->setVisible(monitor->notice() != NoticeState::NothingNew);
    SetMessageInterval(NoticeBlinkInterval(monitor->notice()));
}

void MainWindow::SetMessageInterval(int ms)
{
    if (ms == 0) {
        blinkTimer.stop();
        return;
    }
    if (!blinkTimer.isActive() || blinkTimer.interval() != ms)
        blinkTimer.start(ms);
}

void MainWindow::DayTick(const QDate& now)
{
    AppValues& values = appValues();
    if (now == values.TodayDate)
        return;
    searchPage->setDays(now, now);
    values.TodayDate = now;
}

} // namespace vexa
