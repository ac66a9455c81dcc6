#include "files/Processes.h"
#include <QProcess>

namespace vexa {

ProcessStartError::ProcessStartError(const QString& commandLine, const QString& reason)
    : AppError(error_number::FileNotFound,
        errorDescription(error_number::FileNotFound) + QStringLiteral(" : ") + commandLine
            + QStringLiteral(" (") + reason + u')')
    , commandLine_(commandLine)
{
}

void runAndWait(const QString& commandLine, int windowStyle)
{
    Q_UNUSED(windowStyle);
    QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty())
        throw ProcessStartError(commandLine, QStringLiteral("ligne de commande vide"));
    const QString program = words.takeFirst();
    QProcess process;
    // The program's output goes where ours goes instead of piling up unread.
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program, words);
    if (!process.waitForStarted(-1))
        throw ProcessStartError(commandLine, process.errorString());
    waitForProcess(process);
}

void waitForProcess(QProcess& process)
{
    if (process.state() != QProcess::NotRunning)
        process.waitForFinished(-1);
}

} // namespace vexa
