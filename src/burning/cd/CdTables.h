#pragma once
// The folder tree and the file list of a CD to be burned. Paths are relative
// to the folder being burned and use "\" between components, as the CD
// layout keeps them; comparisons are exact.
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace vexa {

struct CdFolderEntry {
    QString name; // the folder's own name
    QString fullPath; // each component followed by "\"; "" for a free entry
    int16_t parentIndex = 0; // 0 is the CD root
    int16_t index = 0;
};

struct CdFileEntry {
    QString name; // "" for a free entry
    QString folderPath; // the holding folder's path ending with "\"; "" in the root
    int16_t parentIndex = 0;
};

// Indices 0 to 1024; entry 0 stands for the root and is never filled, 1024 is never used.
constexpr int CdFolderCapacity = 1025;
constexpr int CdLastUsableFolder = 1023;
using CdFolderTable = std::array<CdFolderEntry, CdFolderCapacity>;
// Sized by its owner: n + 1 entries for n files.
using CdFileTable = std::vector<CdFileEntry>;

// Registers every folder on the path of a file ("DICOM\SUB\F1" adds DICOM\ then DICOM\SUB\).
void addFolderPath(const QString& relativeFilePath, CdFolderTable& folders);
// Registers a file in the first free entry; nothing happens when the table is full.
void addFile(const QString& relativeFilePath, CdFileTable& files, const CdFolderTable& folders);
// Registers one folder; true if it was there or is added, false when the table is full.
bool addFolder(const CdFolderEntry& entry, CdFolderTable& folders);
bool folderExists(const CdFolderEntry& entry, const CdFolderTable& folders);
// Lowest index from 1 whose FullPath is empty, or -1.
int firstFreeFolder(const CdFolderTable& folders);
// Index of the registered parent folder; 0 for a top-level path, -1 when the parent is not registered.
int parentFolderIndex(const CdFolderEntry& entry, const CdFolderTable& folders);
// Lowest index from 0 whose Name is empty, or -1.
int firstFreeFile(const CdFileTable& files);

} // namespace vexa
