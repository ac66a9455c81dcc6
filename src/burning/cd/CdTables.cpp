#include "burning/cd/CdTables.h"
#include <QStringList>

namespace vexa {
namespace {

const QChar separator = u'\\';

} // namespace

void addFolderPath(const QString& relativeFilePath, CdFolderTable& folders)
{
    if (!relativeFilePath.contains(separator))
        return;
    const QStringList components = relativeFilePath.split(separator);
    QString fullPath;
    for (qsizetype i = 0; i + 1 < components.size(); ++i) {
        fullPath += components[i] + separator;
        CdFolderEntry entry;
        entry.name = components[i];
        entry.fullPath = fullPath;
        addFolder(entry, folders);
    }
}

void addFile(const QString& relativeFilePath, CdFileTable& files, const CdFolderTable& folders)
{
    const int free = firstFreeFile(files);
    if (free < 0)
        return;
    CdFileEntry& file = files[free];
    const qsizetype last = relativeFilePath.lastIndexOf(separator);
    if (last < 0) {
        file.name = relativeFilePath;
        file.folderPath.clear();
        file.parentIndex = 0;
        return;
    }
    file.name = relativeFilePath.mid(last + 1);
    file.folderPath = relativeFilePath.left(last + 1);
    // The parent of the file's own path is the folder that holds it.
    CdFolderEntry asFolder;
    asFolder.fullPath = relativeFilePath;
    file.parentIndex = static_cast<int16_t>(parentFolderIndex(asFolder, folders));
}

bool addFolder(const CdFolderEntry& entry, CdFolderTable& folders)
{
    if (folderExists(entry, folders))
        return true;
    const int free = firstFreeFolder(folders);
    if (free < 0)
        return false;
    CdFolderEntry& slot = folders[free];
    slot.name = entry.name;
    slot.index = static_cast<int16_t>(free);
    slot.parentIndex = static_cast<int16_t>(parentFolderIndex(entry, folders));
    slot.fullPath = entry.fullPath;
    return true;
}

bool folderExists(const CdFolderEntry& entry, const CdFolderTable& folders)
{
    for (int i = 0; i <= CdLastUsableFolder; ++i) {
        if (folders[i].fullPath == entry.fullPath)
            return true;
    }
    return false;
}

int firstFreeFolder(const CdFolderTable& folders)
{
    for (int i = 1; i <= CdLastUsableFolder; ++i) {
        if (folders[i].fullPath.isEmpty())
            return i;
    }
    return -1;
}

int parentFolderIndex(const CdFolderEntry& entry, const CdFolderTable& folders)
{
    QString path = entry.fullPath;
    if (path.endsWith(separator))
        path.chop(1);
    const qsizetype last = path.lastIndexOf(separator);
    if (last < 0)
        return 0;
    const QString parentPath = path.left(last + 1);
    for (int i = 0; i <= CdLastUsableFolder; ++i) {
        if (folders[i].fullPath == parentPath)
            return folders[i].index;
    }
    return -1;
}

int firstFreeFile(const CdFileTable& files)
{
    for (size_t i = 0; i < files.size(); ++i) {
        if (files[i].name.isEmpty())
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace vexa
