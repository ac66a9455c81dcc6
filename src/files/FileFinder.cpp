#include "files/FileFinder.h"
#include <QDir>

namespace vexa {

QStringList FileFinder::search(const QString& path, const QString& mask)
{
    QString folder = path;
    if (!folder.endsWith(u'/'))
        folder += u'/';
    QStringList found;
    searchFolder(folder, mask == QStringLiteral("*.*") ? QStringLiteral("*") : mask, true, found);
    found.prepend(QString::number(found.size()));
    return found;
}

void FileFinder::searchFolder(const QString& folder, const QString& mask, bool isTop, QStringList& found)
{
    QDir dir(folder);
    const QDir::Filters hiddenToo = QDir::Hidden | QDir::System;
    dir.setNameFilters({mask});
    const QStringList files = dir.entryList(QDir::Files | hiddenToo, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : files)
        found.append(folder + name);
    if (!files.isEmpty() || !isTop)
        emit changeDir(folder);
    dir.setNameFilters({});
    // Linked folders are not followed: a link back up would never end.
    const QStringList subfolders = dir.entryList(
        QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks | hiddenToo, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : subfolders)
        searchFolder(folder + name + u'/', mask, false, found);
}

} // namespace vexa
