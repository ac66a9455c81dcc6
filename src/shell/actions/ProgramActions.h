#pragma once
// The main window's general tools that leave the program's own windows: the
// user guide (help button and F1) and the update by the Internet updater.
// Widget-free: questions and messages go through the dialog service, the
// browser, the updater and the program's end through replaceable hooks.
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

namespace vexa {

class ProgramActions {
public:
    ProgramActions();

    // Opens "Aide.chm" beside the program when it exists, else the user
    // guide, with the desktop's viewer. False, after telling the user, when
    // there is nothing to open or it could not be opened.
    bool openHelp();
    // The page openHelp() opens; empty when there is none.
    QUrl helpLocation() const;

    // Looks for the updater named by "vexareg.reg" in the configuration
    // folder; asks, starts it with "VexaDICOM#VexaDICOM" and ends the program.
    // True when the updater was started and the program is ending.
    bool update();
    // The updater's path as "vexareg.reg" gives it (it may not exist).
    QString updaterPath() const;

    static const QString UpdateQuestion;
    static const QString UpdaterMissingText;
    static const QString UpdaterNotStartedText;
    static const QString HelpMissingText;

    // Replaceable for tests: opening a page or file with the desktop, starting
    // a program (false when it could not start), ending the program.
    std::function<bool(const QUrl&)> openUrl;
    std::function<bool(const QString& program, const QStringList& arguments, const QString& folder)>
        startProgram;
    std::function<void()> endProgram;
    // Where "Aide.chm" is looked for: the program's folder.
    QString programFolder;
    // The per-user configuration folder, where "vexareg.reg" is.
    QString configFolder;
    // The guide's first page, looked for in order: installed with the
    // program, then in the source tree the program was built from.
    QStringList guidePages;
};

} // namespace vexa
