#include "shell/main/StartupCommandLine.h"

#include "VexaVersion.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstring>

namespace vexa {

namespace {

const QString SettingsOption = QStringLiteral("settings");

} // namespace

void setApplicationIdentity()
{
    QCoreApplication::setApplicationName(QStringLiteral("VexaDICOM"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(VexaVersionText));
}

void describeCommandLine(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        QStringLiteral("VexaDICOM : la console de diagnostic de la salle de radiologie, à côté du "
                       "mini-PACS Conquest."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({SettingsOption,
        QStringLiteral("Lit et écrit les réglages dans ce fichier (par défaut "
                       "~/.config/VexaDICOM/VexaDICOM.ini)."),
        QStringLiteral("FILE")});
}

bool answersOnTerminal(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "--") == 0)
            return false;
        for (const char* asked : {"-h", "--help", "-?", "--help-all", "-v", "--version"}) {
            if (std::strcmp(argument, asked) == 0)
                return true;
        }
    }
    return false;
}

CommandLineOptions parseCommandLine(QCoreApplication& app)
{
    QCommandLineParser parser;
    describeCommandLine(parser);
    parser.process(app);
    CommandLineOptions options;
    if (parser.isSet(SettingsOption))
        options.settingsFile = parser.value(SettingsOption);
    return options;
}

} // namespace vexa
