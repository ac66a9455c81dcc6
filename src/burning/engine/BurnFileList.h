#pragma once
// The files of a folder to burn and the tree the engine burns from them.
#include "burning/cd/CdTables.h"
#include "burning/engine/BurnEngine.h"

#include <QStringList>

#include <atomic>

namespace vexa {

// How far a listing goes: a disc holds eight levels of folders, and the
// folder table at most CdLastUsableFolder folders; a folder typed by mistake
// ("/") must not walk the whole disk.
constexpr int MaxBurnFolderDepth = 8;
constexpr int MaxBurnFiles = 10000;

struct BurnFolderListing {
    QString folder; // the folder listed, as given
    QStringList files; // see ListFilesToBurn
    bool complete = true; // false: stopped at a limit above, or cancelled
};

// Every file under `folder`, breadth first: the folder's own files, then
// those of its subfolders, then theirs, each folder's entries in name order;
// each as its path relative to `folder` with "\" between components
// ("DICOMDIR", "Index.htm", "DICOM\00000001"). Symbolic links, to files or
// folders, are left out, and a folder reached twice (a mount inside itself)
// is listed once; the walk stops at the limits above, or as soon as `cancel`
// becomes true.
BurnFolderListing listFolderToBurn(const QString& folder, const std::atomic_bool* cancel = nullptr);
QStringList listFilesToBurn(const QString& folder);

// The tree to burn from those lines: each line's folders registered in
// `folders` (kept by the caller from one burn to the next), each file in a
// file table, then the folders in the order they were registered and the
// files read from `folder`.
BurnTree treeToBurn(const QString& folder, const QStringList& lines, CdFolderTable& folders);

} // namespace vexa
