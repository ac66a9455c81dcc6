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
int answerOnTerminal(int argc, char** argv)
{
    QCoreApplication core(argc, argv);
    vexa::setApplicationIdentity();
    vexa::installQtFrench(core);
    vexa::parseCommandLine(core);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (vexa::answersOnTerminal(argc, argv))
        return answerOnTerminal(argc, argv);
    QApplication app(argc, argv);
    vexa::setApplicationIdentity();
    vexa::installQtFrench(app);
    const vexa::CommandLineOptions options = vexa::parseCommandLine(app);
    if (!options.settingsFile.isEmpty())
        vexa::setSettingsFile(options.settingsFile);
    vexa::startSupportLog();

    vexa::useProgramFont();
    vexa::QtDialogService dialogService;
    vexa::setDialogService(&dialogService);
    vexa::SingleInstance instance;
    vexa::MainWindow window;
    window.exportSeries = vexa::productionSeriesExporter(&window);
    vexa::StartupHooks hooks;
    hooks.defaultPrinterName = vexa::defaultPrinterName();
    hooks.showOptions = [&window] {
        vexa::OptionsDialog options(&window);
        options.setRelayout([&window] { window.relayout(); });
        options.exec();
    };
    const vexa::StartupOutcome outcome = vexa::runStartup(window, instance, hooks);
    if (outcome != vexa::StartupOutcome::Run)
        return outcome == vexa::StartupOutcome::AlreadyRunning ? 0 : 1;
    window.relayout();
    window.show();
    qCInfo(vexa::logStartup) << "fenêtre principale affichée";
    const int status = app.exec();
    vexa::setDialogService(nullptr);
    qCInfo(vexa::logStartup) << "arrêt, code" << status;
    vexa::stopLogFile();
    return status;
}
