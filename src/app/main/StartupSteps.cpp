#include "StartupSteps.h"

#include "AppValues.h"

#include <QDir>
#include <cstdlib>

namespace vexa {

void CreateStagingFolders()
{
    AppValues& values = appValues();
    values.BurnStagingDir = DefaultBurnStagingDir();
    values.DicomExportDir = DefaultDicomExportDir();
    QDir().mkpath(values.BurnStagingDir);
    QDir().mkpath(values.DicomExportDir);
}

QString VersionCaption(int major, int minor, int revision)
{
    return QStringLiteral("Version : %1.%2.%3").arg(major).arg(minor).arg(revision);
}

QString AboutVersionText(int major, int minor, int revision)
{
    return QStringLiteral("Version %1.%2.%3").arg(major).arg(minor).arg(revision);
}

QRect MainWindowRect(const QRect& screen, int taskbarHeight)
{
    const int top = taskbarHeight < 1 ? -taskbarHeight : 0;
    return QRect(
        screen.left(), screen.top() + top, screen.width(), screen.height() - std::abs(taskbarHeight));
}

} // namespace vexa
