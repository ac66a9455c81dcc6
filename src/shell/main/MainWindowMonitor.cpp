// The main window's timers: the new-exam monitor and its notice, the blink
// of the notice picture, and the change of day; and the start-up steps that
// need the open database.
#include "shell/main/MainWindow.h"

#include "VexaVersion.h"
#include "base/core/AppValues.h"
#include "base/core/DialogService.h"
#include "base/core/Log.h"
#include "browser/ExamLists.h"
#include "browser/ExamPage.h"
#include "browser/SearchPage.h"
#include "pacsdb/PacsConnection.h"
#include "pacsdb/PacsUpgrade.h"
#include "shell/main/StartupSteps.h"
#include "shell/main/StartupWork.h"

#include <QLabel>
#include <QTabBar>

namespace vexa {

void MainWindow::StartWithDatabase(const QString& conquestPath)
{
    OpenLists(conquestPath);
    dayTimer.start(60000);
    versionLabel->setText(VersionCaption(VexaVersionMajor, VexaVersionMinor, VexaVersionPatch));
}

void MainWindow::StartInBackground(const QString& conquestPath, bool schemaToChange, qint64 imagesToName,
    const std::function<void(const QString&)>& upgradeFailed)
{
    conquestPath_ = conquestPath;
    dayTimer.start(60000);
    versionLabel->setText(VersionCaption(VexaVersionMajor, VexaVersionMinor, VexaVersionPatch));
    StartupWork* work = new StartupWork(conquestPath, this);
    startupWork_ = work;
    startupTotal_ = imagesToName;
    ShowStartupProgress(0);
    // The work is each handler's context: what it still has queued goes
    // with it. A handler also checks that its work is still the current one.
    connect(work, &StartupWork::upgraded, work, [this, work, conquestPath, schemaToChange] {
        if (startupWork_ == work && schemaToChange)
            OpenLists(conquestPath);
    });
    connect(work, &StartupWork::upgradeFailed, work, [this, work, upgradeFailed](const QString& failure) {
        if (startupWork_ != work)
            return;
        EndStartupWork();
        QMetaObject::invokeMethod(
            this, [upgradeFailed, failure] { upgradeFailed(failure); }, Qt::QueuedConnection);
    });
    connect(work, &StartupWork::progress, work, [this, work](qint64 done) {
        if (startupWork_ == work)
            ShowStartupProgress(done);
    });
    connect(work, &StartupWork::finished, work, [this, work](const QString& error) {
        if (startupWork_ != work)
            return;
        if (error.isEmpty())
            qCInfo(logDatabase).noquote() << QStringLiteral("base à jour : premiers noms complétés");
        else
            qCWarning(logDatabase).noquote() << QStringLiteral("premiers noms incomplets : ") + error;
        EndStartupWork();
        MonitorTick(); // names what arrived meanwhile
    });
    if (!schemaToChange)
        OpenLists(conquestPath);
    work->start();
}

// The notice says how far the naming is; the lists are asked again about
// once a second as names arrive (the monitor's tick only reads meanwhile).
void MainWindow::ShowStartupProgress(qint64 imagesDone)
{
    startupNotice_ = UpgradeProgressText(imagesDone, std::max(imagesDone, startupTotal_));
    noticeLabel->setText(startupNotice_);
    noticeLabel->show();
    if (monitor && (!startupTick_.isValid() || startupTick_.elapsed() >= 1000)) {
        startupTick_.start();
        MonitorTick();
    }
}

void MainWindow::EndStartupWork()
{
    if (!startupWork_)
        return;
    startupWork_->deleteLater(); // its worker has ended or ends at its next batch
    startupWork_ = nullptr;
    if (monitor)
        monitor->naming = true;
}

// Every record set and the monitor on the database, the new rows named
// (unless the first start names them on a worker), the lists filled for
// today and page 1 shown.
void MainWindow::OpenLists(const QString& conquestPath)
{
    conquestPath_ = conquestPath;
    sets.setDatabasePath(conquestPath);
    searchPage->setDatabasePath(conquestPath);
    monitor = std::make_unique<NewExamMonitor>(sets, conquestPath, this);
    monitor->naming = startupWork_ == nullptr;
    if (monitor->naming)
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
    // The first start's work stops with its current batch; the monitor names the rest.
    delete startupWork_;
    startupWork_ = nullptr;
    if (monitor)
        monitor->naming = true;
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
    noticeLabel->setText(startupWork_ ? startupNotice_ : monitor->noticeText());
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
