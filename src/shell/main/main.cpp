// VexaDICOM: the diagnostic console beside a Conquest mini-PACS.
//   vexadicom [--settings FILE] | --help | --version
#include "base/core/Log.h"
#include "base/core/Settings.h"
#include "base/ui/Printers.h"
#include "base/ui/QtDialogService.h"
#include "base/ui/QtFrench.h"
#include "browser/export/SeriesExport.h"
#include "shell/main/MainWindow.h"
#include "shell/main/OptionsDialog.h"
#include "shell/main/SingleInstance.h"
#include "shell/main/Startup.h"
#include "shell/main/StartupCommandLine.h"

#include <QApplication>

namespace {

// --help and --version print their text and end here, before a QApplication
// would look for a display.
int AnswerOnTerminal(int argc, char** argv)
{
    QCoreApplication core(argc, argv);
    vexa::SetApplicationIdentity();
    vexa::InstallQtFrench(core);
    vexa::ParseCommandLine(core);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (vexa::AnswersOnTerminal(argc, argv))
        return AnswerOnTerminal(argc, argv);
    QApplication app(argc, argv);
    vexa::SetApplicationIdentity();
    vexa::InstallQtFrench(app);
    const vexa::CommandLineOptions options = vexa::ParseCommandLine(app);
    if (!options.settingsFile.isEmpty())
        vexa::SetSettingsFile(options.settingsFile);
    vexa::StartSupportLog();

    vexa::UseProgramFont();
    vexa::QtDialogService dialogService;
    vexa::setDialogService(&dialogService);
    vexa::SingleInstance instance;
    vexa::MainWindow window;
    window.exportSeries = vexa::ProductionSeriesExporter(&window);
    vexa::StartupHooks hooks;
    hooks.defaultPrinterName = vexa::DefaultPrinterName();
    hooks.showOptions = [&window] {
        vexa::OptionsDialog options(&window);
        options.setRelayout([&window] { window.Relayout(); });
        options.exec();
    };
    const vexa::StartupOutcome outcome = vexa::RunStartup(window, instance, hooks);
    if (outcome != vexa::StartupOutcome::Run)
        return outcome == vexa::StartupOutcome::AlreadyRunning ? 0 : 1;
    window.Relayout();
    window.show();
    qCInfo(vexa::logStartup) << "fenêtre principale affichée";
    const int status = app.exec();
    vexa::setDialogService(nullptr);
    qCInfo(vexa::logStartup) << "arrêt, code" << status;
    vexa::StopLogFile();
    return status;
}
