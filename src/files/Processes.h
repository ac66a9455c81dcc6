#pragma once
// Starting an external program and waiting for it to end.
#include "base/core/AppError.h"

class QProcess;

namespace vexa {

// Raised when a command line names a program that cannot be started.
class ProcessStartError : public AppError {
public:
    ProcessStartError(const QString& commandLine, const QString& reason);
    QString commandLine() const { return commandLine_; }

private:
    QString commandLine_;
};

// The window style every caller passes: minimised, not activated. Programs run
// here have no window, so the style is accepted and has no effect.
constexpr int MinimizedNoFocus = 6;

// Starts the command line (program and arguments, quotes group words) and
// waits without time limit until the program has ended; its exit status is
// not looked at. Throws ProcessStartError when the program cannot be started.
void runAndWait(const QString& commandLine, int windowStyle = MinimizedNoFocus);

// Waits without time limit for a started process; returns at once when it has
// already ended or never started.
void waitForProcess(QProcess& process);

} // namespace vexa
