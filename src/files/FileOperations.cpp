#include "FileOperations.h"
#include <QCoreApplication>
#include <QCursor>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTimer>
#include <thread>

namespace vexa {
namespace {

qsizetype lastSeparator(const QString& path)
{
    return std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
}

void waitWithEventsRunning(int milliseconds)
{
    if (!QCoreApplication::instance()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

bool FileExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

QString FileNameOf(const QString& path)
{
    return path.mid(lastSeparator(path) + 1);
}

QString FolderOf(const QString& path)
{
    const qsizetype separator = lastSeparator(path);
    return separator < 0 ? QString() : path.left(separator);
}

void Pause(double seconds)
{
    const bool showsPointer = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    if (showsPointer)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    waitWithEventsRunning(static_cast<int>(std::max(0.0, seconds) * 1000));
    if (showsPointer)
        QGuiApplication::restoreOverrideCursor();
}

} // namespace vexa
