// The main window's timers: the new-exam monitor and its notice, the blink
// of the notice picture, and the change of day; and the start-up steps that
// need the open database.
#include "MainWindow.h"

#include "AppValues.h"
#include "ExamLists.h"
#include "SearchPage.h"
#include "StartupSteps.h"
#include "VexaVersion.h"

#include <QDateEdit>
#include <QLabel>
#include <QTabBar>

namespace vexa {

void MainWindow::StartWithDatabase(const QString& conquestPath)
{
    conquestPath_ = conquestPath;
    sets.setDatabasePath(conquestPath);
    searchPage->setDatabasePath(conquestPath);
    monitor = std::make_unique<NewExamMonitor>(sets, conquestPath, this);
    monitor->SetName();
    SetSurveyInterval(appValues().MonitorInterval);
    MonitorTick();
    const QDate now = today();
    appValues().TodayDate = now;
    for (QDateEdit* picker : searchPage->datePickers)
        picker->setDate(now);
    DateSearch(); // the pickers may already have shown today without notice
    searchPage->viewButtons[2]->setVisible(sets.notBurnedSeries.count() > 0);
    SelectPage(1);
    dayTimer.start(60000);
    versionLabel->setText(VersionCaption(VexaVersionMajor, VexaVersionMinor, VexaVersionPatch));
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
        searchPage->seriesCountLabel->setText(SeriesCountText(monitor->SeriesListCount()));
    ShowMonitorState();
}

void MainWindow::ShowMonitorState()
{
    imagesToPrintButton->setPicture(
        brixel::Picture::fromImage(imagesToPrintPictures[monitor->imagesToPrintPicture()]));
    for (int i = 0; i < 3; ++i)
        searchPage->viewButtons[i]->setVisible(monitor->viewButtonVisible(i));
    ShowNotice();
}

void MainWindow::ShowNotice()
{
    noticeLabel->setText(monitor->noticeText());
    noticeLabel->show();
    receivingPicture->setVisible(monitor->receivingPictureVisible());
    SetMessageInterval(monitor->messageInterval());
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
    for (QDateEdit* picker : searchPage->datePickers)
        picker->setDate(now);
    values.TodayDate = now;
}

} // namespace vexa
