#pragma once
// What the burning window asks of a burning engine: the writers, a writer's
// speeds for the disc in it, eject, burning a described file tree as an ISO
// 9660 data disc, erasing a rewritable disc, aborting. Progress, messages and
// ends arrive as signals. The engine's own texts are French. The calls that
// wait on a drive (writers, eject, writeSpeeds, startErase) may be made from
// a worker thread, one call at a time; the others belong to the engine's
// thread.
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

namespace vexa {

struct BurnWriter {
    QString deviceName; // what the user picks, stored in the "Device" setting
    bool imageFile = false; // writes an ISO image file instead of a disc
};

// The tree to burn: folders (disc paths with "/", parents listed before their
// children) and files (disc path, and the file whose content goes there).
struct BurnTree {
    struct File {
        QString path;
        QString source;
    };
    QStringList folders;
    QList<File> files;
};

struct BurnJob {
    int writer = 0; // index in writers()
    int speed = 0; // one of writeSpeeds(writer)
    QString volumeName = QStringLiteral("Dicom");
    BurnTree tree;
    QString imageFile; // the ISO file written by an image-file writer
};

// The status a burn ends with.
namespace burn_status {
constexpr int Succeeded = 0;
constexpr int WriteFailed = 1;
constexpr int Aborted = 2;
constexpr int ReadBackFailed = 3; // what was read back differs from the files, or cannot be read
constexpr int NotStarted = 4; // bad writer, tree or disc
} // namespace burn_status

class BurnEngine : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~BurnEngine() override = default;

    virtual QList<BurnWriter> writers() = 0;
    virtual void eject(int writer) = 0;
    // Write speeds (kilobytes per second) for the disc in the writer, slowest
    // first; empty when the writer holds no disc it can burn.
    virtual QList<int> writeSpeeds(int writer) = 0;
    // Starts the burn; it always ends with burnDone, also when it cannot start.
    virtual void startBurn(const BurnJob& job) = 0;
    // Starts erasing the rewritable disc in the writer; ends with eraseDone.
    // False with the reason (French) when the erase cannot start.
    virtual bool startErase(int writer, QString& error) = 0;
    virtual void abort() = 0;
    // Two lines about the engine and its last error, for the log.
    virtual QStringList diagnostics() const = 0;

signals:
    void progressChanged(int percent);
    void logLine(const QString& text);
    void phaseChanged(const QString& text);
    void burnDone(int status);
    void eraseDone(bool ok);
    void aborted();
    void nonBlankDisc();
    void fatalError();
};

} // namespace vexa
