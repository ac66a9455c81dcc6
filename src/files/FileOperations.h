#pragma once
// File services the whole program uses: shell-style copy, move and
// delete, whole-file reading and writing in the single-byte code page, path
// splitting. None of them runs events: they may run on any thread, except
// WriteWholeFile, which asks the user.
#include "base/core/AppError.h"
#include <QString>
#include <chrono>

namespace vexa {

// Copies `source` (a path, or a folder followed by a pattern such as "*.*" or
// "*.jpeg") into the folder `destination`, created when missing. Folders are
// copied with their content, existing files replaced, nothing is asked. True
// when everything was copied. `silent` asks for no progress display; none is
// shown either way.
bool copyFiles(const QString& source, const QString& destination, bool silent = false);
// As CopyFiles, moving instead of copying; a folder that exists at the
// destination receives the moved folder's content.
bool moveFiles(const QString& source, const QString& destination, bool silent = false);
// Deletes what `source` names, folders with their content, without asking.
// With a desktop trash, deleted entries go to it (they can be restored);
// without one they are removed. True when everything is gone.
bool deleteFiles(const QString& source, bool silent = false);

// Whether deleted files can go to a desktop trash for this user.
bool desktopTrashExists();

// The whole file as text, one character per byte (Windows-1252). A missing
// file is waited for (3 s by default, looking again every 50 ms, without
// running events) before AppError 53 is thrown.
QString readWholeFile(
    const QString& path, std::chrono::milliseconds missingFileWait = std::chrono::seconds(3));

// Writes `content` as the whole new content of the file (Windows-1252, a
// character it cannot hold becomes "?"), through a temporary file renamed
// into place. A bad name is corrected by the user (and `path` follows); other
// failures are reported in a message box. Returns true when the file was written.
bool writeWholeFile(const QString& content, QString& path);
// The same write without asking or showing anything, for work off the user
// interface thread: "" when written, else why not (French).
QString tryWriteWholeFile(const QString& content, const QString& path);

// True when `path` names a file whose length can be read.
bool fileExists(const QString& path);
// The last component of the path ("/" and "\" both separate); the whole path when it has no separator.
QString fileNameOf(const QString& path);
// Everything before the last separator ("/" or "\"); "" when there is none.
QString folderOf(const QString& path);

} // namespace vexa
