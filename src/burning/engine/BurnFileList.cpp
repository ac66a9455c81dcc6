#include "BurnFileList.h"

#include <QDir>
#include <QQueue>

namespace vexa {

namespace {

QString discPath(QString path)
{
    path.replace(u'\\', u'/');
    if (path.endsWith(u'/'))
        path.chop(1);
    return path;
}

} // namespace

QStringList ListFilesToBurn(const QString& folder)
{
    QStringList lines;
    QQueue<QString> walk; // folders relative to `folder` with "/", "" for the folder itself
    walk.enqueue(QString());
    while (!walk.isEmpty()) {
        const QString relative = walk.dequeue();
        const QDir dir(relative.isEmpty() ? folder : folder + u'/' + relative);
        const QString prefix = relative.isEmpty() ? QString() : relative + u'/';
        for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name))
            lines << QString(prefix + name).replace(u'/', u'\\');
        for (const QString& name :
            dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name))
            walk.enqueue(prefix + name);
    }
    return lines;
}

BurnTree TreeToBurn(const QString& folder, const QStringList& lines, CdFolderTable& folders)
{
    CdFileTable files(static_cast<std::size_t>(lines.size()) + 1);
    for (const QString& line : lines) {
        AddFolderPath(line, folders);
        AddFile(line, files, folders);
    }
    BurnTree tree;
    for (int k = 1; k <= CdLastUsableFolder && !folders[k].Name.isEmpty(); ++k)
        tree.folders << discPath(folders[k].FullPath);
    QString root = folder;
    if (!root.endsWith(u'/'))
        root += u'/';
    for (const CdFileEntry& file : files) {
        if (file.Name.isEmpty())
            break;
        const QString path = discPath(file.FolderPath + file.Name);
        tree.files.push_back({path, root + path});
    }
    return tree;
}

} // namespace vexa
