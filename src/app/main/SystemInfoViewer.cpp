#include "SystemInfoViewer.h"

#include "SettingKeys.h"

#include <QStandardPaths>

namespace vexa {

QStringList DefaultSystemInfoPrograms()
{
    return {QStringLiteral("hardinfo"), QStringLiteral("gnome-system-monitor"), QStringLiteral("ksysguard"),
        QStringLiteral("xfce4-taskmanager"), QStringLiteral("lshw-gtk")};
}

QStringList SystemInfoPrograms()
{
    const QString stored = GetSetting(Keys::SystemInfoPrograms);
    if (stored.trimmed().isEmpty())
        return DefaultSystemInfoPrograms();
    return stored.split(u';', Qt::SkipEmptyParts);
}

QString FindSystemInfoViewer(const QStringList& programs, const QString& searchPath)
{
    const QStringList folders
        = searchPath.isEmpty() ? QStringList() : searchPath.split(u':', Qt::SkipEmptyParts);
    for (const QString& program : programs) {
        const QString found = QStandardPaths::findExecutable(program.trimmed(), folders);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

QString SystemInfoUnavailableText()
{
    return QStringLiteral("Les informations système ne sont pas disponibles actuellement");
}

} // namespace vexa
