#pragma once
// Recursive search of the files matching a pattern under a folder.
#include <QObject>
#include <QStringList>

namespace vexa {

class FileFinder : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The files under `path` whose names match `mask` ("*.jpeg"; letter case
    // ignored; "*.*" matches every name), depth first: a folder's own files
    // before its subfolders, each folder's entries in name order (letter case ignored,
    // as the original file system listed them). Element 0
    // is the number of files found as text, then their full paths.
    QStringList search(const QString& path, const QString& mask);

signals:
    // The folder being searched (with its trailing "/"), as the walk proceeds.
    void changeDir(const QString& path);

private:
    void searchFolder(const QString& folder, const QString& mask, bool isTop, QStringList& found);
};

} // namespace vexa
