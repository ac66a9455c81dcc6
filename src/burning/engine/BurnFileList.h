#pragma once
// The files of a folder to burn and the tree the engine burns from them.
#include "BurnEngine.h"
#include "CdTables.h"

#include <QStringList>

namespace vexa {

// Every file under `folder`, breadth first: the folder's own files, then
// those of its subfolders, then theirs, each folder's entries in name order;
// each as its path relative to `folder` with "\" between components
// ("DICOMDIR", "Index.htm", "DICOM\00000001").
QStringList ListFilesToBurn(const QString& folder);

// The tree to burn from those lines: each line's folders registered in
// `folders` (kept by the caller from one burn to the next), each file in a
// file table, then the folders in the order they were registered and the
// files read from `folder`.
BurnTree TreeToBurn(const QString& folder, const QStringList& lines, CdFolderTable& folders);

} // namespace vexa
