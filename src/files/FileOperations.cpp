#include "files/FileOperations.h"
#include <QFileInfo>

namespace vexa {
namespace {

qsizetype lastSeparator(const QString& path)
{
    return std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
}

} // namespace

bool fileExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

QString fileNameOf(const QString& path)
{
    return path.mid(lastSeparator(path) + 1);
}

QString folderOf(const QString& path)
{
    const qsizetype separator = lastSeparator(path);
    return separator < 0 ? QString() : path.left(separator);
}

} // namespace vexa
