#include "shell/actions/ProgramActions.h"

#include "base/core/DialogService.h"
#include "base/core/IniValue.h"
#include "base/core/Paths.h"
#include "base/core/Settings.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace vexa {

namespace {

const QString UpdateTitle = QStringLiteral("VexaUpdate....");

} // namespace

const QString ProgramActions::UpdateQuestion = QStringLiteral(
    "Vous allez quitter VexaDICOM, pour rechercher une mise à jour. Êtes-vous sur de vouloir poursuivre ?");
const QString ProgramActions::UpdaterMissingText
    = QStringLiteral("Le logiciel de mise à jour par Internet n'a pas été trouvé.");
const QString ProgramActions::UpdaterNotStartedText
    = QStringLiteral("Le logiciel de mise à jour par Internet n'a pas pu être démarré.");
const QString ProgramActions::HelpMissingText
    = QStringLiteral("Le guide de l'utilisateur n'a pas été trouvé.");

ProgramActions::ProgramActions()
    : openUrl([](const QUrl& url) { return QDesktopServices::openUrl(url); })
    , startProgram([](const QString& program, const QStringList& arguments, const QString& folder) {
        return QProcess::startDetached(program, arguments, folder);
    })
    , endProgram([] { QCoreApplication::quit(); })
    , programFolder(QCoreApplication::applicationDirPath())
    , configFolder(QFileInfo(settingsFile()).absolutePath())
    , guidePages{QDir(QCoreApplication::applicationDirPath())
                     .absoluteFilePath(QStringLiteral(VEXA_GUIDE_INSTALLED) + QStringLiteral("/index.html")),
          QStringLiteral(VEXA_GUIDE_SOURCE) + QStringLiteral("/index.html")}
{
}

QUrl ProgramActions::helpLocation() const
{
    const QString chm = QDir(programFolder).filePath(QStringLiteral("Aide.chm"));
    if (QFileInfo(chm).isFile())
        return QUrl::fromLocalFile(chm);
    for (const QString& page : guidePages) {
        if (QFileInfo(page).isFile())
            return QUrl::fromLocalFile(QFileInfo(page).canonicalFilePath());
    }
    return {};
}

bool ProgramActions::openHelp()
{
    const QUrl page = helpLocation();
    if (page.isEmpty()) {
        msgBox(HelpMissingText, MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("Aide"));
        return false;
    }
    if (openUrl(page))
        return true;
    msgBox(QStringLiteral("Le guide de l'utilisateur n'a pas pu être ouvert :\r\n") + page.toLocalFile(),
        MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("Aide"));
    return false;
}

QString ProgramActions::updaterPath() const
{
    const QString registration = QDir(configFolder).filePath(QStringLiteral("vexareg.reg"));
    QString folder
        = readIniValue(QStringLiteral("VexaUpdate"), QStringLiteral("ShortPath"), configFolder, registration);
    return withTrailingBackslash(folder) + QStringLiteral("VexaUpdt");
}

bool ProgramActions::update()
{
    const QString updater = updaterPath();
    if (!QFileInfo(updater).isFile()) {
        msgBox(UpdaterMissingText, MsgIcon::Critical, MsgButtons::Ok, UpdateTitle);
        return false;
    }
    const MsgResult answer = msgBox(UpdateQuestion, MsgIcon::Question, MsgButtons::YesNo,
        QStringLiteral("Mise à jour Internet"), MsgResult::Yes);
    if (answer != MsgResult::Yes)
        return false;
    // The program ends only once the updater runs: otherwise the user would
    // lose the program for nothing.
    if (!startProgram(updater, {QStringLiteral("VexaDICOM#VexaDICOM")}, QFileInfo(updater).absolutePath())) {
        msgBox(UpdaterNotStartedText, MsgIcon::Critical, MsgButtons::Ok, UpdateTitle);
        return false;
    }
    endProgram();
    return true;
}

} // namespace vexa
