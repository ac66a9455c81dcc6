#pragma once
// The program's start-up, in order: one instance per user, the default
// printer, the staging folders, the settings, the options dialog when no
// database is configured, the database opening and upgrade (which ends the
// program on failure), then the main window's own start. On a database with
// much to name, the upgrade and the naming run behind the shown window.
#include <QString>
#include <functional>

namespace vexa {

class MainWindow;
class SingleInstance;

// From this many images to name, the first start's upgrade and naming run
// on a worker behind the shown main window.
constexpr qint64 kBackgroundStartFrom = 2000;

enum class StartupOutcome { Run, AlreadyRunning, DatabaseFailed };

struct StartupHooks {
    // The options dialog shown modally (start-up without a database, or
    // after a failed opening when the user wants to change the settings).
    std::function<void()> showOptions;
    QString defaultPrinterName;
};

StartupOutcome runStartup(MainWindow& window, SingleInstance& instance, const StartupHooks& hooks);

// The support log: from now on every Qt message also goes to the rotating
// log file; the first line says which program, Qt and settings file run.
void startSupportLog();

// The windows' font, Liberation Sans, set on the application before any
// window is created.
void useProgramFont();

// The messages of a failed opening; true when the user chose to see the options.
void reportDatabaseFailure(const QString& description, const std::function<void()>& showOptions);

} // namespace vexa
