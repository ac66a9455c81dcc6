#pragma once
// The program's command line: --settings FILE, --help and --version. Help
// and version answer on the terminal before any window exists, so they work
// without a display (over ssh, in a package check).
#include <QString>

class QCommandLineParser;
class QCoreApplication;

namespace vexa {

// Application name and version, as --version prints them and the logs and
// "Infos système" show them.
void setApplicationIdentity();

// The options the program understands, with their French descriptions.
struct CommandLineOptions {
    QString settingsFile;
};
void describeCommandLine(QCommandLineParser& parser);

// True when the arguments ask for the help or the version text only.
bool answersOnTerminal(int argc, const char* const* argv);

// Parses the arguments of `app`; prints the help or version text and ends
// the process when asked, or on an unknown option (with the reason).
CommandLineOptions parseCommandLine(QCoreApplication& app);

} // namespace vexa
