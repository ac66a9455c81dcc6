#include "burning/cd/CdTables.h"

#include <gtest/gtest.h>

using namespace vexa;

TEST(CdTables, FolderPathsRegisterEachFolderOnce)
{
    CdFolderTable folders;
    addFolderPath("JPG\\00000001.jpeg", folders);
    addFolderPath("JPG\\00000002.jpeg", folders);
    EXPECT_EQ(folders[1].name, "JPG");
    EXPECT_EQ(folders[1].fullPath, "JPG\\");
    EXPECT_EQ(folders[1].index, 1);
    EXPECT_EQ(folders[1].parentIndex, 0);
    EXPECT_EQ(firstFreeFolder(folders), 2) << "the second file's folder was there already";
    EXPECT_EQ(folders[0].fullPath, "") << "the root entry stays empty";

    addFolderPath("DICOM\\SUB\\F1", folders);
    EXPECT_EQ(folders[2].fullPath, "DICOM\\");
    EXPECT_EQ(folders[3].fullPath, "DICOM\\SUB\\");
    EXPECT_EQ(folders[3].name, "SUB");
    EXPECT_EQ(folders[3].parentIndex, 2);

    addFolderPath("Index.htm", folders);
    EXPECT_EQ(firstFreeFolder(folders), 4) << "a root file adds no folder";
    CdFolderEntry orphan;
    orphan.fullPath = "dicom\\SUB\\";
    EXPECT_EQ(parentFolderIndex(orphan, folders), -1) << "comparisons keep letter case";
}

TEST(CdTables, FilesGoToTheirFolderOrToTheRoot)
{
    CdFolderTable folders;
    addFolderPath("DICOM\\SUB\\F1", folders);
    CdFileTable files(3); // two files and the spare entry
    addFile("Index.htm", files, folders);
    addFile("DICOM\\SUB\\F1", files, folders);
    EXPECT_EQ(files[0].name, "Index.htm");
    EXPECT_EQ(files[0].folderPath, "");
    EXPECT_EQ(files[0].parentIndex, 0);
    EXPECT_EQ(files[1].name, "F1");
    EXPECT_EQ(files[1].folderPath, "DICOM\\SUB\\");
    EXPECT_EQ(files[1].parentIndex, 2);

    addFile("a", files, folders);
    addFile("b", files, folders);
    EXPECT_EQ(files[2].name, "a");
    EXPECT_EQ(firstFreeFile(files), -1) << "a full table takes nothing more";
}

TEST(CdTables, AFullFolderTableRefusesNewFolders)
{
    CdFolderTable folders;
    for (int i = 1; i <= 1023; ++i) {
        CdFolderEntry entry;
        entry.name = QString::number(i);
        entry.fullPath = entry.name + "\\";
        ASSERT_TRUE(addFolder(entry, folders));
    }
    CdFolderEntry extra;
    extra.name = "extra";
    extra.fullPath = "extra\\";
    EXPECT_FALSE(addFolder(extra, folders));
    EXPECT_EQ(folders[1024].fullPath, "") << "entry 1024 is never used";
    CdFolderEntry known;
    known.fullPath = "7\\";
    EXPECT_TRUE(addFolder(known, folders)) << "a registered folder is found even when full";
}
