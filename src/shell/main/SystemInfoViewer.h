#pragma once
// "Infos système" of the about window: what support asks first (versions,
// the database engine and where it is, the log and settings files), and the
// system information viewer, the first program of a short list found on the
// search path. The list can be replaced with the setting
// "Windows"/"SystemInfoPrograms" (names separated by ";").
#include <QString>
#include <QStringList>

namespace vexa {

struct SystemFacts {
    QString programVersion;
    QString qtVersion; // the Qt the program runs on
    QStringList libraries; // "DCMTK 3.6.7", ...
    QString databaseEngine; // "SQLite 3.40.1", "PostgreSQL 15.5 ...", or why it is unknown
    QString databasePath; // ConquestPath (its password is not shown)
    QString logPath;
    QString settingsPath;
    QString system; // the distribution and kernel
};

// The facts as one text, a line each.
QString systemInfoText(const SystemFacts& facts);

// The facts that need no database: versions, files, system.
SystemFacts programFacts();

QStringList defaultSystemInfoPrograms();
QStringList systemInfoPrograms();

// The full path of the first program found in `searchPath` (":"-separated;
// "" means the environment's PATH), or "" when none is there.
QString findSystemInfoViewer(const QStringList& programs, const QString& searchPath = {});

// The question under the facts when a viewer is found.
QString openSystemViewerQuestion(const QString& viewer);
QString systemInfoUnavailableText();

} // namespace vexa
