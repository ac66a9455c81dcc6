#include "shell/main/Startup.h"

#include "base/core/AppValues.h"
#include "base/core/DialogService.h"
#include "base/core/Log.h"
#include "base/core/Settings.h"
#include "dicom/DicomLoader.h"
#include "pacsdb/PacsUpgrade.h"
#include "shell/main/MainWindow.h"
#include "shell/main/SingleInstance.h"
#include "shell/main/StartupSteps.h"

#include <QApplication>
#include <QSysInfo>

namespace vexa {

void startSupportLog()
{
    if (!startLogFile())
        qCWarning(logStartup).noquote() << QStringLiteral("journal impossible à écrire : ") + logFilePath();
    qCInfo(logStartup).noquote() << QStringLiteral("démarrage de VexaDICOM %1 (Qt %2, %3), réglages %4")
                                        .arg(QCoreApplication::applicationVersion(),
                                            QString::fromLatin1(qVersion()), QSysInfo::prettyProductName(),
                                            settingsFile());
}

void reportDatabaseFailure(const QString& description, const std::function<void()>& showOptions)
{
    msgBox(openErrorText(description), MsgIcon::Critical, MsgButtons::Ok, openErrorTitle());
    const MsgResult answer = msgBox(databaseNotFoundText(), MsgIcon::Question, MsgButtons::YesNo);
    if (answer != MsgResult::Yes)
        return;
    if (showOptions)
        showOptions();
    msgBox(restartToApplyText(), MsgIcon::Exclamation);
}

namespace {

void reportStartupFailure(
    const QString& conquestPath, const QString& failure, const std::function<void()>& showOptions)
{
    qCCritical(logDatabase).noquote()
        << QStringLiteral("base non ouverte au démarrage (%1) : %2").arg(conquestPath, failure);
    reportDatabaseFailure(failure, showOptions);
}

} // namespace

StartupOutcome runStartup(MainWindow& window, SingleInstance& instance, const StartupHooks& hooks)
{
    if (!instance.acquire()) {
        msgBox(SingleInstance::alreadyRunningText(), MsgIcon::Exclamation, MsgButtons::Ok,
            SingleInstance::alreadyRunningTitle());
        return StartupOutcome::AlreadyRunning;
    }
    appValues().monitorInterval = 6000;
    window.applyButtonColours();
    loadAppValues(hooks.defaultPrinterName);
    setImageMemoryLimit(appValues().maxImageBytes);
    createStagingFolders();
    if (appValues().conquestPath.isEmpty() && hooks.showOptions)
        hooks.showOptions();
    // The options dialog may have been applied: the database is the one now stored.
    const QString conquestPath = appValues().conquestPath;
    // A large database never named (or never upgraded) is brought up to date
    // on a worker behind the shown window; a small one before it, as always.
    const StartupWorkload workload = inspectDatabase(conquestPath);
    QString failure = workload.error;
    const bool inBackground = failure.isEmpty() && workload.imagesToName >= kBackgroundStartFrom;
    if (failure.isEmpty() && !inBackground) {
        TimedAction opening(QStringLiteral("ouverture et mise à jour de la base"));
        failure = openAndUpgrade(conquestPath);
        if (!failure.isEmpty())
            opening.fail(failure);
    }
    if (!failure.isEmpty()) {
        reportStartupFailure(conquestPath, failure, hooks.showOptions);
        return StartupOutcome::DatabaseFailed;
    }
    qCInfo(logDatabase).noquote() << QStringLiteral("base ouverte : ") + conquestPath;
    if (!inBackground) {
        window.startWithDatabase(conquestPath);
        return StartupOutcome::Run;
    }
    qCInfo(logDatabase).noquote() << QStringLiteral(
        "mise à jour de la base en arrière-plan : %1 images à nommer%2")
                                         .arg(workload.imagesToName)
                                         .arg(workload.schemaToChange ? QStringLiteral(", schéma à compléter")
                                                                      : QString());
    // The upgrade failed behind the window: the same messages, then the program ends.
    window.startInBackground(conquestPath, workload.schemaToChange, workload.imagesToName,
        [conquestPath, showOptions = hooks.showOptions](const QString& failure) {
            reportStartupFailure(conquestPath, failure, showOptions);
            QCoreApplication::exit(1);
        });
    return StartupOutcome::Run;
}

// Liberation Sans has Arial's metrics, so the windows' designs keep their layout.
void useProgramFont()
{
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("Liberation Sans")});
    QApplication::setFont(font);
}

} // namespace vexa
