#include "ManageFile.h"
#include "TreeFixture.h"
#include "clsFindFile.h"
#include <QSignalSpy>

using namespace vexa;
using namespace vexa::testing;

TEST(clsFindFile, FindsFilesDepthFirstOwnFilesBeforeSubfolders)
{
    QTemporaryDir temp;
    const QString root = temp.path();
    // Created out of order: the result must follow names, not the file system.
    for (const char* name :
        {"c.jpeg", "a.jpeg", "B.JPEG", "notes.txt", "sub/e.jpeg", "sub/d.jpeg", "sub/x.jpg"})
        makeFile(root + "/" + name);
    QDir().mkpath(root + "/empty");

    clsFindFile finder;
    QSignalSpy changes(&finder, &clsFindFile::ChangeDir);
    const QStringList found = finder.Search(root, "*.jpeg");
    const QStringList expected = {"5", root + "/a.jpeg", root + "/B.JPEG", root + "/c.jpeg",
        root + "/sub/d.jpeg", root + "/sub/e.jpeg"};
    EXPECT_EQ(found, expected);
    ASSERT_GE(changes.size(), 1);
    EXPECT_EQ(changes.first().first().toString(), root + "/");

    EXPECT_EQ(finder.Search(root + "//sub/", "*.*").size(), 4) << "doubled separator, dotless mask";
    EXPECT_EQ(finder.Search(root + "/absent", "*.jpeg"), QStringList{"0"});
}

TEST(ManageFile, FolderPathsRegisterEachFolderOnce)
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

TEST(ManageFile, FilesGoToTheirFolderOrToTheRoot)
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

TEST(ManageFile, AFullFolderTableRefusesNewFolders)
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
