// VexaDICOM: the diagnostic console beside a Conquest mini-PACS.
//   vexadicom [--settings FILE]
#include "MainWindow.h"
#include "OptionsDialog.h"
#include "Printers.h"
#include "QtDialogService.h"
#include "QtFrench.h"
#include "SeriesExport.h"
#include "Settings.h"
#include "SingleInstance.h"
#include "Startup.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VexaDICOM"));
    vexa::InstallQtFrench(app);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("VexaDICOM"));
    parser.addHelpOption();
    const QCommandLineOption settings(QStringLiteral("settings"),
        QStringLiteral("Lit et écrit les réglages dans ce fichier."), QStringLiteral("FILE"));
    parser.addOption(settings);
    parser.process(app);
    if (parser.isSet(settings))
        vexa::SetSettingsFile(parser.value(settings));

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
    const int status = app.exec();
    vexa::setDialogService(nullptr);
    return status;
}
