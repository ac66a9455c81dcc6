#include "burning/cd/CdTables.h"
#include <QStringList>

namespace vexa {
namespace {

const QChar separator = u'\\';

} // namespace

void AddFolderPath(const QString& relativeFilePath, CdFolderTable& folders)
{
    if (!relativeFilePath.contains(separator))
        return;
    const QStringList components = relativeFilePath.split(separator);
    QString fullPath;
    for (qsizetype i = 0; i + 1 < components.size(); ++i) {
        fullPath += components[i] + separator;
        CdFolderEntry entry;
        entry.Name = components[i];
        entry.FullPath = fullPath;
        AddFolder(entry, folders);
    }
}

void AddFile(const QString& relativeFilePath, CdFileTable& files, const CdFolderTable& folders)
{
    const int free = FirstFreeFile(files);
    if (free < 0)
        return;
    CdFileEntry& file = files[free];
    const qsizetype last = relativeFilePath.lastIndexOf(separator);
    if (last < 0) {
        file.Name = relativeFilePath;
        file.FolderPath.clear();
        file.ParentIndex = 0;
        return;
    }
    file.Name = relativeFilePath.mid(last + 1);
    file.FolderPath = relativeFilePath.left(last + 1);
    // The parent of the file's own path is the folder that holds it.
    CdFolderEntry asFolder;
    asFolder.FullPath = relativeFilePath;
    file.ParentIndex = static_cast<int16_t>(ParentFolderIndex(asFolder, folders));
}

bool AddFolder(const CdFolderEntry& entry, CdFolderTable& folders)
{
    if (FolderExists(entry, folders))
        return true;
    const int free = FirstFreeFolder(folders);
    if (free < 0)
        return false;
    CdFolderEntry& slot = folders[free];
    slot.Name = entry.Name;
    slot.Index = static_cast<int16_t>(free);
    slot.ParentIndex = static_cast<int16_t>(ParentFolderIndex(entry, folders));
    slot.FullPath = entry.FullPath;
    return true;
}

bool FolderExists(const CdFolderEntry& entry, const CdFolderTable& folders)
{
    for (int i = 0; i <= CdLastUsableFolder; ++i) {
        if (folders[i].FullPath == entry.FullPath)
            return true;
    }
    return false;
}

int FirstFreeFolder(const CdFolderTable& folders)
{
    for (int i = 1; i <= CdLastUsableFolder; ++i) {
        if (folders[i].FullPath.isEmpty())
            return i;
    }
    return -1;
}

int ParentFolderIndex(const CdFolderEntry& entry, const CdFolderTable& folders)
{
    QString path = entry.FullPath;
    if (path.endsWith(separator))
        path.chop(1);
    const qsizetype last = path.lastIndexOf(separator);
    if (last < 0)
        return 0;
    const QString parentPath = path.left(last + 1);
    for (int i = 0; i <= CdLastUsableFolder; ++i) {
        if (folders[i].FullPath == parentPath)
            return folders[i].Index;
    }
    return -1;
}

int FirstFreeFile(const CdFileTable& files)
{
    for (size_t i = 0; i < files.size(); ++i) {
        if (files[i].Name.isEmpty())
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace vexa
