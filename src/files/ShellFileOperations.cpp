// Copy, move and delete with the shell's rules: a source is a path or a folder
// followed by a pattern, folders go with their content, nothing is asked, and
// only a Boolean tells whether everything went well.
#include "files/FileOperations.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <optional>

namespace vexa {
namespace {

bool isPattern(const QString& name)
{
    return name.contains(u'*') || name.contains(u'?');
}

// The entries `source` names, in name order; nullopt when a plain path is missing.
std::optional<QFileInfoList> expandSource(const QString& source)
{
    const QFileInfo info(source);
    if (!isPattern(info.fileName())) {
        if (!info.exists() && !info.isSymLink())
            return std::nullopt;
        return QFileInfoList{info};
    }
    // "*.*" is the shell's "everything", names without a dot included.
    const QString mask = info.fileName() == QStringLiteral("*.*") ? QStringLiteral("*") : info.fileName();
    QDir folder = info.dir();
    return folder.entryInfoList(
        {mask}, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
}

bool removeEntry(const QFileInfo& entry)
{
    if (entry.isDir() && !entry.isSymLink())
        return QDir(entry.filePath()).removeRecursively();
    return QFile::remove(entry.filePath());
}

bool copyFileReplacing(const QString& from, const QString& to)
{
    const QFileInfo target(to);
    if ((target.exists() || target.isSymLink()) && !removeEntry(target))
        return false;
    return QFile::copy(from, to);
}

bool copyEntry(const QFileInfo& entry, const QString& target)
{
    if (!entry.isDir() || entry.isSymLink())
        return copyFileReplacing(entry.filePath(), target);
    if (!QDir().mkpath(target))
        return false;
    bool allCopied = true;
    const QDir folder(entry.filePath());
    for (const QFileInfo& child :
        folder.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
        allCopied = copyEntry(child, target + u'/' + child.fileName()) && allCopied;
    return allCopied;
}

bool moveEntry(const QFileInfo& entry, const QString& target)
{
    const QFileInfo existing(target);
    const bool mergeFolders = entry.isDir() && !entry.isSymLink() && existing.isDir();
    if (!mergeFolders) {
        if ((existing.exists() || existing.isSymLink()) && !removeEntry(existing))
            return false;
        if (QDir().rename(entry.filePath(), target))
            return true;
        // Another file system: copy, then remove the original.
        return copyEntry(entry, target) && removeEntry(entry);
    }
    bool allMoved = true;
    const QDir folder(entry.filePath());
    for (const QFileInfo& child :
        folder.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
        allMoved = moveEntry(child, target + u'/' + child.fileName()) && allMoved;
    return allMoved && QDir().rmdir(entry.filePath());
}

// A folder cannot go into itself or into one of its own subfolders, and an
// entry cannot replace itself (replacing would delete it first).
bool isOwnDestination(const QFileInfo& entry, const QString& destination)
{
    const QString target = QFileInfo(destination).canonicalFilePath() + u'/';
    if (target + entry.fileName() == entry.canonicalFilePath())
        return true;
    return entry.isDir() && target.startsWith(entry.canonicalFilePath() + u'/');
}

template <typename Transfer>
bool transfer(const QString& source, const QString& destination, Transfer transferEntry)
{
    const std::optional<QFileInfoList> entries = expandSource(source);
    if (!entries || !QDir().mkpath(destination))
        return false;
    bool allDone = true;
    for (const QFileInfo& entry : *entries) {
        if (isOwnDestination(entry, destination)) {
            allDone = false;
            continue;
        }
        allDone = transferEntry(entry, destination + u'/' + entry.fileName()) && allDone;
    }
    return allDone;
}

} // namespace

bool desktopTrashExists()
{
    return QFileInfo(
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Trash"))
        .isDir();
}

bool copyFiles(const QString& source, const QString& destination, bool silent)
{
    Q_UNUSED(silent);
    return transfer(source, destination, copyEntry);
}

bool moveFiles(const QString& source, const QString& destination, bool silent)
{
    Q_UNUSED(silent);
    return transfer(source, destination, moveEntry);
}

bool deleteFiles(const QString& source, bool silent)
{
    Q_UNUSED(silent);
    const std::optional<QFileInfoList> entries = expandSource(source);
    if (!entries)
        return false;
    const bool toTrash = desktopTrashExists();
    bool allDeleted = true;
    for (const QFileInfo& entry : *entries) {
        const bool deleted = (toTrash && QFile::moveToTrash(entry.filePath())) || removeEntry(entry);
        allDeleted = deleted && allDeleted;
    }
    return allDeleted;
}

} // namespace vexa
