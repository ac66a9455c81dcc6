#include "shell/main/SystemInfoViewer.h"

#include "VexaVersion.h"
#include "base/core/Log.h"
#include "base/core/SettingKeys.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QSysInfo>

namespace vexa {

QString systemInfoText(const SystemFacts& facts)
{
    QStringList lines{QStringLiteral("VexaDICOM %1").arg(facts.programVersion),
        QStringLiteral("Qt %1").arg(facts.qtVersion)};
    if (!facts.libraries.isEmpty())
        lines << QStringLiteral("Bibliothèques : ") + facts.libraries.join(QStringLiteral(", "));
    lines << QStringLiteral("Base de données : ") + facts.databaseEngine;
    if (!facts.databasePath.isEmpty())
        lines << QStringLiteral("Emplacement de la base : ") + withoutPassword(facts.databasePath);
    lines << QStringLiteral("Journal : ") + facts.logPath
          << QStringLiteral("Réglages : ") + facts.settingsPath
          << QStringLiteral("Système : ") + facts.system;
    return lines.join(u'\n');
}

SystemFacts programFacts()
{
    SystemFacts facts;
    facts.programVersion = QString::fromLatin1(VexaVersionText);
    facts.qtVersion = QString::fromLatin1(qVersion());
    const std::pair<const char*, const char*> libraries[] = {
        {"DCMTK", DcmtkBuildVersion}, {"libburn", LibburnBuildVersion}, {"libisofs", LibisofsBuildVersion}};
    for (const auto& [name, version] : libraries) {
        if (*version)
            facts.libraries << QStringLiteral("%1 %2").arg(QLatin1String(name), QLatin1String(version));
    }
    facts.logPath = logFilePath();
    facts.settingsPath = QFileInfo(settingsFile()).absoluteFilePath();
    facts.system = QStringLiteral("%1, noyau %2 %3")
                       .arg(QSysInfo::prettyProductName(), QSysInfo::kernelVersion(),
                           QSysInfo::currentCpuArchitecture());
    return facts;
}

QStringList defaultSystemInfoPrograms()
{
    return {QStringLiteral("hardinfo"), QStringLiteral("gnome-system-monitor"), QStringLiteral("ksysguard"),
        QStringLiteral("xfce4-taskmanager"), QStringLiteral("lshw-gtk")};
}

QStringList systemInfoPrograms()
{
    const QString stored = getSetting(keys::SystemInfoPrograms);
    if (stored.trimmed().isEmpty())
        return defaultSystemInfoPrograms();
    return stored.split(u';', Qt::SkipEmptyParts);
}

QString findSystemInfoViewer(const QStringList& programs, const QString& searchPath)
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

QString systemInfoUnavailableText()
{
    return QStringLiteral("Les informations système ne sont pas disponibles actuellement");
}

QString openSystemViewerQuestion(const QString& viewer)
{
    return QStringLiteral("Ouvrir aussi %1 ?").arg(QFileInfo(viewer).fileName());
}

} // namespace vexa
