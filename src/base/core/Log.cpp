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

bool OpenPrivately(QFile& file)
{
    // Owner only: with the debug setting the log holds patients' names.
    return file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text, OwnerOnlyFile);
}

// vexadicom.log becomes .1, .1 becomes .2, ... the oldest is dropped.
void Rotate(LogFileState& state)
{
    const QString path = state.file.fileName();
    state.file.close();
    const int kept = std::max(1, state.limits.keptFiles);
    QFile::remove(path + u'.' + QString::number(kept));
    for (int i = kept - 1; i >= 1; --i)
        QFile::rename(path + u'.' + QString::number(i), path + u'.' + QString::number(i + 1));
    QFile::rename(path, path + QStringLiteral(".1"));
    OpenPrivately(state.file);
}

const char* LevelName(QtMsgType type)
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

QString LogLine(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const char* category = context.category ? context.category : "default";
    return QStringLiteral("%1 %2 %3: %4\n")
        .arg(QDateTime::currentDateTime().toString(Qt::ISODateWithMs), QLatin1String(LevelName(type)),
            QLatin1String(category), WithoutPassword(WithoutPatientNames(message)));
}

void WriteToFile(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    LogFileState& state = logFile();
    if (!writingLine) {
        writingLine = true;
        const QByteArray line = LogLine(type, context, message).toUtf8();
        {
            QMutexLocker lock(&state.mutex);
            // Rotated before the line that would pass the limit, so the
            // newest lines are always in the current file.
            if (state.file.isOpen() && state.file.size() > 0
                && state.file.size() + line.size() > state.limits.maxBytes)
                Rotate(state);
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

QString LogFolder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/VexaDICOM");
}

QString LogFilePath()
{
    return LogFolder() + QStringLiteral("/vexadicom.log");
}

bool StartLogFile(const QString& path, LogFileLimits limits)
{
    const QString file = path.isEmpty() ? LogFilePath() : path;
    LogFileState& state = logFile();
    {
        QMutexLocker lock(&state.mutex);
        state.file.close();
        state.file.setFileName(file);
        state.limits = limits;
        MakePrivateFolder(QFileInfo(file).absolutePath());
        if (!OpenPrivately(state.file))
            return false;
        if (!state.installed) {
            state.previous = qInstallMessageHandler(WriteToFile);
            state.installed = true;
        }
    }
    RereadLogSettings();
    return true;
}

void StopLogFile()
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

bool LogPatientNames()
{
    int wanted = patientNamesWanted.load();
    if (wanted < 0) {
        wanted
            = GetYesNoSetting(QStringLiteral("Debug"), QStringLiteral("LogPatientNames"), QStringLiteral("0"))
            ? 1
            : 0;
        patientNamesWanted.store(wanted);
    }
    return wanted == 1;
}

void RereadLogSettings()
{
    patientNamesWanted.store(-1);
    LogPatientNames();
}

QString PatientForLog(const QString& name)
{
    return LogPatientNames() ? name : HiddenName;
}

void NotePatientName(const QString& name)
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

QString WithoutPatientNames(const QString& text)
{
    if (LogPatientNames())
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

QString WithoutPassword(const QString& conquestPath)
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
