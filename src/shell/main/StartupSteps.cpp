#include "shell/main/StartupSteps.h"

#include "base/core/AppValues.h"
#include "base/core/PrivateFiles.h"

#include <QDir>
#include <cstdlib>

namespace vexa {

void createStagingFolders()
{
    AppValues& values = appValues();
    values.burnStagingDir = defaultBurnStagingDir();
    values.dicomExportDir = defaultDicomExportDir();
    // A CD holds a patient's images and report: other users of the
    // workstation have nothing to read there.
    makePrivateFolder(values.burnStagingDir);
    makePrivateFolder(values.dicomExportDir);
}

QString versionCaption(int major, int minor, int revision)
{
    return QStringLiteral("Version : %1.%2.%3").arg(major).arg(minor).arg(revision);
}

QString aboutVersionText(int major, int minor, int revision)
{
    return QStringLiteral("Version %1.%2.%3").arg(major).arg(minor).arg(revision);
}

namespace {

// 300000 -> "300 000": a plain blank between groups of three digits.
QString grouped(qint64 number)
{
    QString digits = QString::number(number);
    for (qsizetype at = digits.size() - 3; at > (digits.startsWith(u'-') ? 1 : 0); at -= 3)
        digits.insert(at, u' ');
    return digits;
}

} // namespace

QString upgradeProgressText(qint64 done, qint64 total)
{
    return QStringLiteral("Mise à jour de la base : %1 / %2 images").arg(grouped(done), grouped(total));
}

QRect mainWindowRect(const QRect& screen, int taskbarHeight)
{
    const int top = taskbarHeight < 1 ? -taskbarHeight : 0;
    return QRect(
        screen.left(), screen.top() + top, screen.width(), screen.height() - std::abs(taskbarHeight));
}

} // namespace vexa
