#include "shell/main/StartupSteps.h"

#include "base/core/AppValues.h"
#include "base/core/PrivateFiles.h"

#include <QDir>
#include <cstdlib>

namespace vexa {

void CreateStagingFolders()
{
    AppValues& values = appValues();
    values.BurnStagingDir = DefaultBurnStagingDir();
    values.DicomExportDir = DefaultDicomExportDir();
    // A CD holds a patient's images and report: other users of the
    // workstation have nothing to read there.
    MakePrivateFolder(values.BurnStagingDir);
    MakePrivateFolder(values.DicomExportDir);
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
