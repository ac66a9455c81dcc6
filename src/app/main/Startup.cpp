#include "Startup.h"

#include "AppValues.h"
#include "DialogService.h"
#include "DicomLoader.h"
#include "MainWindow.h"
#include "PacsUpgrade.h"
#include "SingleInstance.h"
#include "StartupSteps.h"

#include <QApplication>

namespace vexa {

void ReportDatabaseFailure(const QString& description, const std::function<void()>& showOptions)
{
    MsgBox(OpenErrorText(description), MsgIcon::Critical, MsgButtons::Ok, OpenErrorTitle());
    const MsgResult answer = MsgBox(DatabaseNotFoundText(), MsgIcon::Question, MsgButtons::YesNo);
    if (answer != MsgResult::Yes)
        return;
    if (showOptions)
        showOptions();
    MsgBox(RestartToApplyText(), MsgIcon::Exclamation);
}

StartupOutcome RunStartup(MainWindow& window, SingleInstance& instance, const StartupHooks& hooks)
{
    if (!instance.acquire()) {
        MsgBox(SingleInstance::AlreadyRunningText(), MsgIcon::Exclamation, MsgButtons::Ok,
            SingleInstance::AlreadyRunningTitle());
        return StartupOutcome::AlreadyRunning;
    }
    appValues().MonitorInterval = 6000;
    window.ApplyButtonColours();
    LoadAppValues(hooks.defaultPrinterName);
    setImageMemoryLimit(appValues().MaxImageBytes);
    CreateStagingFolders();
    if (appValues().ConquestPath.isEmpty() && hooks.showOptions)
        hooks.showOptions();
    // The options dialog may have been applied: the database is the one now stored.
    const QString conquestPath = appValues().ConquestPath;
    const QString failure = OpenAndUpgrade(conquestPath);
    if (!failure.isEmpty()) {
        ReportDatabaseFailure(failure, hooks.showOptions);
        return StartupOutcome::DatabaseFailed;
    }
    window.StartWithDatabase(conquestPath);
    return StartupOutcome::Run;
}

// Liberation Sans has Arial's metrics, so the windows' designs keep their layout.
void UseProgramFont()
{
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("Liberation Sans")});
    QApplication::setFont(font);
}

} // namespace vexa
