#include "shell/main/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

namespace vexa {

SingleInstance::SingleInstance(const QString& lockFolder)
{
    QString folder = lockFolder;
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    QDir().mkpath(folder);
    path_ = QDir(folder).filePath(QStringLiteral("vexadicom.lock"));
}

bool SingleInstance::acquire()
{
    lock_ = std::make_unique<QLockFile>(path_);
    // A lock is only stale when its process is gone; never time out a live one.
    lock_->setStaleLockTime(0);
    return lock_->tryLock(0);
}

QString SingleInstance::alreadyRunningText()
{
    return QStringLiteral("Ce programme est déjà lancé sur votre machine !");
}

QString SingleInstance::alreadyRunningTitle()
{
    return QStringLiteral("Vexa Conquest Printer");
}

} // namespace vexa
