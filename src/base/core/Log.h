#pragma once
// The support log: every message shown to the user, every database error and
// the start, end and duration of long actions, written through Qt's logging
// categories to a rotating file under $XDG_STATE_HOME/VexaDICOM/ (by default
// ~/.local/state/VexaDICOM/vexadicom.log). Patient names are kept out of it
// unless the setting [Debug] LogPatientNames=1 asks for them.
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QString>

namespace vexa {

Q_DECLARE_LOGGING_CATEGORY(logStartup) // "vexa.startup": start, stop, versions, settings file
Q_DECLARE_LOGGING_CATEGORY(logDialogs) // "vexa.dialogs": messages shown and their answers
Q_DECLARE_LOGGING_CATEGORY(logDatabase) // "vexa.database": opening and every failed statement
Q_DECLARE_LOGGING_CATEGORY(logActions) // "vexa.actions": long actions, their duration

struct LogFileLimits {
    qint64 maxBytes = 2 * 1024 * 1024; // a file is rotated before it would grow past this
    int keptFiles = 5; // vexadicom.log.1 ... .5 are kept
};

// The log's folder and file as they are for this user now.
QString logFolder();
QString logFilePath();

// From now on every Qt message, of every category, is also appended to
// `path` (LogFilePath() when empty), one line each, flushed at once. False
// when the file cannot be opened; the messages then only go where they went.
bool startLogFile(const QString& path = {}, LogFileLimits limits = {});
// Stops writing the file and gives Qt its previous message handler back.
void stopLogFile();

// What a log line shows of a patient's name: the name itself when the debug
// setting asks, else "[patient]".
QString patientForLog(const QString& name);
// Remembers a patient's name so that any log line holding it shows
// "[patient]" instead (unless the debug setting asks for names). Names in
// the DICOM form "FAMILY^GIVEN" are hidden without being noted.
void notePatientName(const QString& name);
// The text as it goes into the log: noted names and DICOM names hidden.
QString withoutPatientNames(const QString& text);
// Whether the debug setting asks for names; read once, then cached (tests
// and the options may call it again after a change).
bool logPatientNames();
void rereadLogSettings();

// A PostgreSQL URL or libpq text with its password replaced by "***".
QString withoutPassword(const QString& conquestPath);

// A long action's start, end and duration in the log:
//   TimedAction timed(QStringLiteral("Gravure du CD"));
//   ... timed.fail(reason) when it does not succeed ...
// logs "début : Gravure du CD" now and "fin : Gravure du CD (12.3 s)" (or
// "échec : ... : reason") when it goes out of scope.
class TimedAction {
public:
    explicit TimedAction(QString name);
    ~TimedAction();
    TimedAction(const TimedAction&) = delete;
    TimedAction& operator=(const TimedAction&) = delete;

    void fail(const QString& reason);
    qint64 elapsedMs() const { return clock_.elapsed(); }

private:
    QString name_;
    QString failure_;
    QElapsedTimer clock_;
};

} // namespace vexa
