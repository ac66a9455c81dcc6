#include "base/core/Log.h"

#include "base/core/PrivateFiles.h"
#include "base/core/Settings.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <QSet>
#include <atomic>

namespace vexa {

Q_LOGGING_CATEGORY(logStartup, "vexa.startup")
Q_LOGGING_CATEGORY(logDialogs, "vexa.dialogs")
Q_LOGGING_CATEGORY(logDatabase, "vexa.database")
Q_LOGGING_CATEGORY(logActions, "vexa.actions")

namespace {

const QString HiddenName = QStringLiteral("[patient]");

struct LogFileState {
    QMutex mutex;
    QFile file;
    LogFileLimits limits;
    QtMessageHandler previous = nullptr;
    bool installed = false;
};

LogFileState& logFile()
{
    static LogFileState state;
    return state;
}

// Set while a line is being written: a message raised by the writing itself
// goes only to the previous handler.
thread_local bool writingLine = false;

bool openPrivately(QFile& file)
{
    // Owner only: with the debug setting the log holds patients' names.
    return file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text, OwnerOnlyFile);
}

// vexadicom.log becomes .1, .1 becomes .2, ... the oldest is dropped.
void rotate(LogFileState& state)
{
    const QString path = state.file.fileName();
    state.file.close();
    const int kept = std::max(1, state.limits.keptFiles);
    QFile::remove(path + u'.' + QString::number(kept));
    for (int i = kept - 1; i >= 1; --i)
        QFile::rename(path + u'.' + QString::number(i), path + u'.' + QString::number(i + 1));
    QFile::rename(path, path + QStringLiteral(".1"));
    openPrivately(state.file);
}

const char* levelName(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return "debug";
    case QtInfoMsg:
        return "info";
    case QtWarningMsg:
        return "warning";
    case QtCriticalMsg:
        return "critical";
    case QtFatalMsg:
        return "fatal";
    }
    return "?";
}

QString logLine(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const char* category = context.category ? context.category : "default";
    return QStringLiteral("%1 %2 %3: %4\n")
        .arg(QDateTime::currentDateTime().toString(Qt::ISODateWithMs), QLatin1String(levelName(type)),
            QLatin1String(category), withoutPassword(withoutPatientNames(message)));
}

void writeToFile(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    LogFileState& state = logFile();
    if (!writingLine) {
        writingLine = true;
        const QByteArray line = logLine(type, context, message).toUtf8();
        {
            QMutexLocker lock(&state.mutex);
            // Rotated before the line that would pass the limit, so the
            // newest lines are always in the current file.
            if (state.file.isOpen() && state.file.size() > 0
                && state.file.size() + line.size() > state.limits.maxBytes)
                rotate(state);
            if (state.file.isOpen()) {
                state.file.write(line);
                state.file.flush();
            }
        }
        writingLine = false;
    }
    if (state.previous)
        state.previous(type, context, message);
}

// Noted names, upper-cased, in the forms they appear in texts: as stored
// ("DUPONT^JEAN^^"), and with blanks for the carets ("DUPONT JEAN").
struct NotedNames {
    QMutex mutex;
    QSet<QString> names;
};

NotedNames& notedNames()
{
    static NotedNames noted;
    return noted;
}

std::atomic<int> patientNamesWanted{-1};

} // namespace

QString logFolder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/VexaDICOM");
}

QString logFilePath()
{
    return logFolder() + QStringLiteral("/vexadicom.log");
}

bool startLogFile(const QString& path, LogFileLimits limits)
{
    const QString file = path.isEmpty() ? logFilePath() : path;
    LogFileState& state = logFile();
    {
        QMutexLocker lock(&state.mutex);
        state.file.close();
        state.file.setFileName(file);
        state.limits = limits;
        makePrivateFolder(QFileInfo(file).absolutePath());
        if (!openPrivately(state.file))
            return false;
        if (!state.installed) {
            state.previous = qInstallMessageHandler(writeToFile);
            state.installed = true;
        }
    }
    rereadLogSettings();
    return true;
}

void stopLogFile()
{
    LogFileState& state = logFile();
    QMutexLocker lock(&state.mutex);
    if (state.installed) {
        qInstallMessageHandler(state.previous);
        state.previous = nullptr;
        state.installed = false;
    }
    state.file.close();
}

bool logPatientNames()
{
    int wanted = patientNamesWanted.load();
    if (wanted < 0) {
        wanted
            = getYesNoSetting(QStringLiteral("Debug"), QStringLiteral("LogPatientNames"), QStringLiteral("0"))
            ? 1
            : 0;
        patientNamesWanted.store(wanted);
    }
    return wanted == 1;
}

void rereadLogSettings()
{
    patientNamesWanted.store(-1);
    logPatientNames();
}

QString patientForLog(const QString& name)
{
    return logPatientNames() ? name : HiddenName;
}

void notePatientName(const QString& name)
{
    QString stored = name.trimmed().toUpper();
    while (stored.endsWith(u'^'))
        stored.chop(1);
    if (stored.size() < 2)
        return;
    QString blanks = stored;
    blanks.replace(u'^', u' ');
    blanks = blanks.simplified();
    NotedNames& noted = notedNames();
    QMutexLocker lock(&noted.mutex);
    // A long session meets many patients; the oldest are simply forgotten.
    if (noted.names.size() > 2000)
        noted.names.clear();
    noted.names.insert(stored);
    noted.names.insert(blanks);
}

QString withoutPatientNames(const QString& text)
{
    if (logPatientNames())
        return text;
    QString result = text;
    {
        NotedNames& noted = notedNames();
        QMutexLocker lock(&noted.mutex);
        for (const QString& name : std::as_const(noted.names))
            result.replace(name, HiddenName, Qt::CaseInsensitive);
    }
    // A DICOM person name: words joined by carets, the family name possibly
    // in several upper-case words ("DE LA TOUR^MARIE").
    static const QRegularExpression dicomName(
        QStringLiteral("(?:\\p{Lu}[\\p{Lu}'-]* )*[^\\s^]*(?:\\^[^\\s^]*)+"),
        QRegularExpression::UseUnicodePropertiesOption);
    result.replace(dicomName, HiddenName);
    return result;
}

QString withoutPassword(const QString& conquestPath)
{
    // "scheme://user:password@" and libpq's "password=..." keyword.
    static const QRegularExpression inUrl(QStringLiteral("(\\b[a-z][a-z0-9+.-]*://[^\\s:/@]*:)[^\\s@/]*@"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression asKeyword(
        QStringLiteral("\\b(password\\s*=\\s*)('[^']*'|\\S+)"), QRegularExpression::CaseInsensitiveOption);
    QString result = conquestPath;
    result.replace(inUrl, QStringLiteral("\\1***@"));
    result.replace(asKeyword, QStringLiteral("\\1***"));
    return result;
}

TimedAction::TimedAction(QString name)
    : name_(std::move(name))
{
    clock_.start();
    qCInfo(logActions).noquote() << QStringLiteral("début : ") + name_;
}

TimedAction::~TimedAction()
{
    const QString duration = QStringLiteral("%1 s").arg(clock_.elapsed() / 1000.0, 0, 'f', 1);
    if (failure_.isEmpty())
        qCInfo(logActions).noquote() << QStringLiteral("fin : %1 (%2)").arg(name_, duration);
    else
        qCWarning(logActions).noquote()
            << QStringLiteral("échec : %1 (%2) : %3").arg(name_, duration, failure_);
}

void TimedAction::fail(const QString& reason)
{
    failure_ = reason.isEmpty() ? QStringLiteral("sans raison donnée") : reason;
}

} // namespace vexa
