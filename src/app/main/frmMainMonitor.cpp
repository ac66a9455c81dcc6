// The main window's timers: the new-exam monitor and its notice, the blink
// of the notice picture, and the change of day; and the start-up steps that
// need the open database.
#include "frmMain.h"

#include "AppValues.h"
#include "ExamLists.h"
#include "SearchPage.h"
#include "StartupSteps.h"
#include "VexaVersion.h"

#include <QDateEdit>
#include <QLabel>
#include <QTabBar>

namespace vexa {

void frmMain::StartWithDatabase(const QString& conquestPath)
{
    conquestPath_ = conquestPath;
    sets.setDatabasePath(conquestPath);
    monitor = std::make_unique<NewExamMonitor>(sets, conquestPath, this);
    monitor->SetName();
    SetSurveyInterval(appValues().MonitorInterval);
    MonitorTick();
    const QDate now = today();
    appValues().TodayDate = now;
    for (QDateEdit* picker : Page1->CalendarVB1)
        picker->setDate(now);
    DateSearch(); // the pickers may already have shown today without notice
    Page1->Button8[2]->setVisible(sets.ConnPatientNotBurned.count() > 0);
    SelectPage(1);
    TimerDay.start(60000);
    lblVersion->setText(VersionCaption(VexaVersionMajor, VexaVersionMinor, VexaVersionPatch));
}

void frmMain::SetSurveyInterval(int ms)
{
    surveyInterval_ = ms;
    if (monitor)
        monitor->setSurveyInterval(ms);
    if (ms > 0)
        TimerSurvey.start(ms);
    else
        TimerSurvey.stop();
}

int frmMain::surveyInterval() const
{
    return surveyInterval_;
}

void frmMain::MonitorTick()
{
    if (!monitor || surveyInterval_ == 0)
        return;
    monitor->tick();
    ShowMonitorState();
}

void frmMain::ShowMonitorState()
{
    Button7->setPicture(brixel::Picture::fromImage(Picture1[monitor->button7Picture()]));
    for (int i = 0; i < 3; ++i)
        Page1->Button8[i]->setVisible(monitor->button8Visible(i));
    // Label7 follows the monitor only when the date list grew at this tick.
    if (monitor->label7() != shownLabel7_) {
        shownLabel7_ = monitor->label7();
        Page1->Label7->setText(shownLabel7_);
    }
    ShowNotice();
}

void frmMain::ShowNotice()
{
    Label1->setText(monitor->label1());
    Label1->show();
    Image5->setVisible(monitor->image5Visible());
    SetMessageInterval(monitor->messageInterval());
}

void frmMain::SetMessageInterval(int ms)
{
    if (ms == 0) {
        TimerMessage.stop();
        return;
    }
    if (!TimerMessage.isActive() || TimerMessage.interval() != ms)
        TimerMessage.start(ms);
}

void frmMain::DayTick(const QDate& now)
{
    AppValues& values = appValues();
    if (now == values.TodayDate)
        return;
    for (QDateEdit* picker : Page1->CalendarVB1)
        picker->setDate(now);
    values.TodayDate = now;
}

} // namespace vexa
