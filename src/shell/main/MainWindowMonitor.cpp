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

void MainWindow::startWithDatabase(const QString& conquestPath)
{
    openLists(conquestPath);
    dayTimer.start(60000);
    versionLabel->setText(versionCaption(VexaVersionMajor, VexaVersionMinor, VexaVersionPatch));
}

void MainWindow::startInBackground(const QString& conquestPath, bool schemaToChange, qint64 imagesToName,
    const std::function<void(const QString&)>& upgradeFailed)
{
    conquestPath_ = conquestPath;
    dayTimer.start(60000);
    versionLabel->setText(versionCaption(VexaVersionMajor, VexaVersionMinor, VexaVersionPatch));
    StartupWork* work = new StartupWork(conquestPath, this);
    startupWork_ = work;
    startupTotal_ = imagesToName;
    showStartupProgress(0);
    // The work is each handler's context: what it still has queued goes
    // with it. A handler also checks that its work is still the current one.
    connect(work, &StartupWork::upgraded, work, [this, work, conquestPath, schemaToChange] {
        if (startupWork_ == work && schemaToChange)
            openLists(conquestPath);
    });
    connect(work, &StartupWork::upgradeFailed, work, [this, work, upgradeFailed](const QString& failure) {
        if (startupWork_ != work)
            return;
        endStartupWork();
        QMetaObject::invokeMethod(
            this, [upgradeFailed, failure] { upgradeFailed(failure); }, Qt::QueuedConnection);
    });
    connect(work, &StartupWork::progress, work, [this, work](qint64 done) {
        if (startupWork_ == work)
            showStartupProgress(done);
    });
    connect(work, &StartupWork::finished, work, [this, work](const QString& error) {
        if (startupWork_ != work)
            return;
        if (error.isEmpty())
            qCInfo(logDatabase).noquote() << QStringLiteral("base à jour : premiers noms complétés");
        else
            qCWarning(logDatabase).noquote() << QStringLiteral("premiers noms incomplets : ") + error;
        endStartupWork();
        monitorTick(); // names what arrived meanwhile
    });
    if (!schemaToChange)
        openLists(conquestPath);
    work->start();
}

// The notice says how far the naming is; the lists are asked again about
// once a second as names arrive (the monitor's tick only reads meanwhile).
void MainWindow::showStartupProgress(qint64 imagesDone)
{
    startupNotice_ = upgradeProgressText(imagesDone, std::max(imagesDone, startupTotal_));
    noticeLabel->setText(startupNotice_);
    noticeLabel->show();
    if (monitor && (!startupTick_.isValid() || startupTick_.elapsed() >= 1000)) {
        startupTick_.start();
        monitorTick();
    }
}

void MainWindow::endStartupWork()
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
void MainWindow::openLists(const QString& conquestPath)
{
    conquestPath_ = conquestPath;
    sets.setDatabasePath(conquestPath);
    searchPage->setDatabasePath(conquestPath);
    monitor = std::make_unique<NewExamMonitor>(sets, conquestPath, this);
    monitor->naming = startupWork_ == nullptr;
    if (monitor->naming)
        monitor->nameNewRows();
    setSurveyInterval(appValues().monitorInterval);
    monitorTick();
    const QDate now = today();
    appValues().todayDate = now;
    searchPage->setDays(now, now);
    dateSearch(); // the pickers may already have shown today without notice
    searchPage->setListAvailable(ExamList::NotBurned, sets.notBurnedSeries.count() > 0);
    selectPage(1);
}

void MainWindow::reopenDatabase(const QString& conquestPath)
{
    // The first start's work stops with its current batch; the monitor names the rest.
    delete startupWork_;
    startupWork_ = nullptr;
    if (monitor)
        monitor->naming = true;
    const QString failure = openAndUpgrade(conquestPath);
    if (!failure.isEmpty()) {
        // The lists stay on the database they show, and so does every write.
        msgBox(openErrorText(failure), MsgIcon::Critical, MsgButtons::Ok, openErrorTitle());
        appValues().conquestPath = conquestPath_;
        return;
    }
    setSurveyInterval(0);
    closeExam();
    for (RecordSet* set : {&sets.seriesByDate, &sets.seriesByPatient, &sets.notBurnedSeries, &sets.examImages,
             &sets.examSeries, &sets.examStudy, &sets.workSet, &sets.patientLookup})
        set->close();
    for (Thumbnail* thumbnail : examPage->thumbnailSlots) {
        thumbnail->clear();
        thumbnail->setTag(QString());
    }
    searchPage->setListAvailable(ExamList::ByPatient, false);
    const QString previous = conquestPath_;
    openLists(conquestPath);
    closePacsConnection(previous);
}

void MainWindow::setSurveyInterval(int ms)
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

void MainWindow::monitorTick()
{
    if (!monitor || surveyInterval_ == 0)
        return;
    const int listedBefore = monitor->seriesListCount();
    monitor->tick();
    // The count label follows the date list when it grew at this tick,
    // whatever the label showed (a date search may have changed it since).
    if (monitor->seriesListCount() > listedBefore)
        searchPage->setSeriesCountText(seriesCountText(monitor->seriesListCount()));
    showMonitorState();
}

void MainWindow::showMonitorState()
{
    const int picture = monitor->notBurnedPending() ? 0 : 1;
    imagesToPrintButton->setPicture(brixel::Picture::fromImage(imagesToPrintPictures[picture]));
    imagesToPrintButton->setToolTipText(picture == 0
            ? QStringLiteral("Des images attendent d'être imprimées : cliquer pour les imprimer")
            : QStringLiteral("Aucune nouvelle image à imprimer"));
    searchPage->setListAvailable(ExamList::ByDate, sets.seriesByDate.count() > 0);
    searchPage->setListAvailable(ExamList::ByPatient, sets.seriesByPatient.count() > 0);
    searchPage->setListAvailable(ExamList::NotBurned, monitor->notBurnedNoticed());
    showNotice();
}

void MainWindow::showNotice()
{
    noticeLabel->setText(startupWork_ ? startupNotice_ : monitor->noticeText());
    noticeLabel->show();
    receivingPicture->setVisible(monitor->notice() != NoticeState::NothingNew);
    setMessageInterval(noticeBlinkInterval(monitor->notice()));
}

void MainWindow::setMessageInterval(int ms)
{
    if (ms == 0) {
        blinkTimer.stop();
        return;
    }
    if (!blinkTimer.isActive() || blinkTimer.interval() != ms)
        blinkTimer.start(ms);
}

void MainWindow::dayTick(const QDate& now)
{
    AppValues& values = appValues();
    if (now == values.todayDate)
        return;
    searchPage->setDays(now, now);
    values.todayDate = now;
}

} // namespace vexa
