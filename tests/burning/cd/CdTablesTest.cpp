#include "burning/cd/CdTables.h"

#include <gtest/gtest.h>

using namespace vexa;

TEST(CdTables, FolderPathsRegisterEachFolderOnce)
{
    CdFolderTable folders;
    AddFolderPath("JPG\\00000001.jpeg", folders);
    AddFolderPath("JPG\\00000002.jpeg", folders);
    EXPECT_EQ(folders[1].Name, "JPG");
    EXPECT_EQ(folders[1].FullPath, "JPG\\");
    EXPECT_EQ(folders[1].Index, 1);
    EXPECT_EQ(folders[1].ParentIndex, 0);
    EXPECT_EQ(FirstFreeFolder(folders), 2) << "the second file's folder was there already";
    EXPECT_EQ(folders[0].FullPath, "") << "the root entry stays empty";

    AddFolderPath("DICOM\\SUB\\F1", folders);
    EXPECT_EQ(folders[2].FullPath, "DICOM\\");
    EXPECT_EQ(folders[3].FullPath, "DICOM\\SUB\\");
    EXPECT_EQ(folders[3].Name, "SUB");
    EXPECT_EQ(folders[3].ParentIndex, 2);

    AddFolderPath("Index.htm", folders);
    EXPECT_EQ(FirstFreeFolder(folders), 4) << "a root file adds no folder";
    CdFolderEntry orphan;
    orphan.FullPath = "dicom\\SUB\\";
    EXPECT_EQ(ParentFolderIndex(orphan, folders), -1) << "comparisons keep letter case";
}

TEST(CdTables, FilesGoToTheirFolderOrToTheRoot)
{
    CdFolderTable folders;
    AddFolderPath("DICOM\\SUB\\F1", folders);
    CdFileTable files(3); // two files and the spare entry
    AddFile("Index.htm", files, folders);
    AddFile("DICOM\\SUB\\F1", files, folders);
    EXPECT_EQ(files[0].Name, "Index.htm");
    EXPECT_EQ(files[0].FolderPath, "");
    EXPECT_EQ(files[0].ParentIndex, 0);
    EXPECT_EQ(files[1].Name, "F1");
    EXPECT_EQ(files[1].FolderPath, "DICOM\\SUB\\");
    EXPECT_EQ(files[1].ParentIndex, 2);

    AddFile("a", files, folders);
    AddFile("b", files, folders);
    EXPECT_EQ(files[2].Name, "a");
    EXPECT_EQ(FirstFreeFile(files), -1) << "a full table takes nothing more";
}

TEST(CdTables, AFullFolderTableRefusesNewFolders)
{
    CdFolderTable folders;
    for (int i = 1; i <= 1023; ++i) {
        CdFolderEntry entry;
        entry.Name = QString::number(i);
        entry.FullPath = entry.Name + "\\";
        ASSERT_TRUE(AddFolder(entry, folders));
    }
    CdFolderEntry extra;
    extra.Name = "extra";
    extra.FullPath = "extra\\";
    EXPECT_FALSE(AddFolder(extra, folders));
    EXPECT_EQ(folders[1024].FullPath, "") << "entry 1024 is never used";
    CdFolderEntry known;
    known.FullPath = "7\\";
    EXPECT_TRUE(AddFolder(known, folders)) << "a registered folder is found even when full";
}
