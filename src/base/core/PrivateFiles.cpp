#include "base/core/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace vexa {

bool makePrivateFolder(const QString& path)
{
    // The folders missing on the way down, outermost first.
    QStringList missing;
    for (QString folder = QDir::cleanPath(QFileInfo(path).absoluteFilePath()); !QFileInfo::exists(folder);
         folder = QFileInfo(folder).absolutePath()) {
        missing.prepend(folder);
        if (QDir(folder).isRoot())
            break;
    }
    bool ok = true;
    for (const QString& folder : missing)
        ok = QDir().mkdir(folder, OwnerOnlyFolder) && ok;
    if (missing.isEmpty())
        ok = QFileInfo(path).isDir() && QFile::setPermissions(path, OwnerOnlyFolder);
    return ok;
}

bool makePrivateFile(const QString& path)
{
    return QFile::setPermissions(path, OwnerOnlyFile);
}

} // namespace vexa
