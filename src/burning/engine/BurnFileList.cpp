#include "burning/engine/BurnFileList.h"

#include "burning/cd/CdTables.h"

#include <QDir>
#include <QFile>
#include <QQueue>
#include <set>
#include <sys/stat.h>
#include <utility>

namespace vexa {

namespace {

QString discPath(QString path)
{
    path.replace(u'\\', u'/');
    if (path.endsWith(u'/'))
        path.chop(1);
    return path;
}

// A folder's identity on disk, so that one reached twice is listed once.
using FolderKey = std::pair<dev_t, ino_t>;

bool firstVisit(const QString& path, std::set<FolderKey>& visited)
{
    struct stat info { };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return visited.insert({info.st_dev, info.st_ino}).second;
}

struct PendingFolder {
    QString relative; // with "/", "" for the folder itself
    int depth = 0; // 0 for the folder itself
};

} // namespace

BurnFolderListing listFolderToBurn(const QString& folder, const std::atomic_bool* cancel)
{
    BurnFolderListing listing;
    listing.folder = folder;
    std::set<FolderKey> visited;
    int folders = 0;
    QQueue<PendingFolder> walk;
    walk.enqueue({});
    const QDir::Filters noLinks = QDir::NoSymLinks | QDir::Hidden | QDir::System;
    while (!walk.isEmpty()) {
        if (cancel && cancel->load()) {
            listing.complete = false;
            break;
        }
        const PendingFolder pending = walk.dequeue();
        const QString path = pending.relative.isEmpty() ? folder : folder + u'/' + pending.relative;
        if (!firstVisit(path, visited))
            continue;
        const QDir dir(path);
        const QString prefix = pending.relative.isEmpty() ? QString() : pending.relative + u'/';
        // Checked one by one: a broken link (a loop of links) is no file
        // to QDir's own filter.
        for (const QFileInfo& entry : dir.entryInfoList(QDir::Files | noLinks, QDir::Name)) {
            if (entry.isSymLink())
                continue;
            if (listing.files.size() == MaxBurnFiles) {
                listing.complete = false;
                return listing;
            }
            listing.files << QString(prefix + entry.fileName()).replace(u'/', u'\\');
        }
        for (const QFileInfo& entry :
            dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | noLinks, QDir::Name)) {
            if (entry.isSymLink())
                continue;
            if (pending.depth + 1 > MaxBurnFolderDepth || ++folders > CdLastUsableFolder)
                listing.complete = false;
            else
                walk.enqueue({prefix + entry.fileName(), pending.depth + 1});
        }
    }
    return listing;
}

QStringList listFilesToBurn(const QString& folder)
{
    return listFolderToBurn(folder).files;
}

BurnTree treeToBurn(const QString& folder, const QStringList& lines, CdFolderTable& folders)
{
    CdFileTable files(static_cast<std::size_t>(lines.size()) + 1);
    for (const QString& line : lines) {
        addFolderPath(line, folders);
        addFile(line, files, folders);
    }
    BurnTree tree;
    for (int k = 1; k <= CdLastUsableFolder && !folders[k].name.isEmpty(); ++k)
        tree.folders << discPath(folders[k].fullPath);
    QString root = folder;
    if (!root.endsWith(u'/'))
        root += u'/';
    for (const CdFileEntry& file : files) {
        if (file.name.isEmpty())
            break;
        const QString path = discPath(file.folderPath + file.name);
        tree.files.push_back({path, root + path});
    }
    return tree;
}

} // namespace vexa
