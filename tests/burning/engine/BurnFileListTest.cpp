#include "burning/engine/BurnFileList.h"
#include "CdFixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vexa;

namespace {

void touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(path.toUtf8());
}

QStringList paths(const BurnTree& tree)
{
    QStringList list;
    for (const BurnTree::File& file : tree.files)
        list << file.path;
    return list;
}

} // namespace

TEST(BurnFileList, rootFilesFirstThenOneFolderPerDiscFolder)
{
    QTemporaryDir dir;
    for (const char* name : {"DICOM/00000001", "Index.htm", "DICOMDIR"})
        touch(dir.filePath(name));
    CdFolderTable folders;

    const QStringList lines = listFilesToBurn(dir.path());
    EXPECT_EQ(lines, QStringList({"DICOMDIR", "Index.htm", "DICOM\\00000001"}));
    const BurnTree tree = treeToBurn(dir.path() + "/", lines, folders);
    EXPECT_EQ(tree.folders, QStringList{"DICOM"});
    EXPECT_EQ(paths(tree), QStringList({"DICOMDIR", "Index.htm", "DICOM/00000001"}));
    EXPECT_EQ(tree.files[2].source, dir.filePath("DICOM/00000001"));
}

TEST(BurnFileList, foldersAreWalkedBreadthFirstAndRegisteredParentsFirst)
{
    QTemporaryDir dir;
    for (const char* name : {"B/C/deep.txt", "A/a.txt", "B/b.txt", "root.txt", "A/D/d.txt"})
        touch(dir.filePath(name));
    CdFolderTable folders;

    const QStringList lines = listFilesToBurn(dir.path());
    EXPECT_EQ(lines, QStringList({"root.txt", "A\\a.txt", "B\\b.txt", "A\\D\\d.txt", "B\\C\\deep.txt"}));
    const BurnTree tree = treeToBurn(dir.path(), lines, folders);
    EXPECT_EQ(tree.folders, QStringList({"A", "B", "A/D", "B/C"}));
    EXPECT_EQ(tree.files[4].source, dir.filePath("B/C/deep.txt"));
    // A second burn of the same folder registers nothing new.
    EXPECT_EQ(treeToBurn(dir.path(), lines, folders).folders, tree.folders);
}

// Links back up, into each other or to a file are never followed: each real
// file is listed once, and the walk ends at once.
TEST(BurnFileList, symbolicLinksAreLeftOutSoLoopsEnd)
{
    QTemporaryDir dir;
    touch(dir.filePath("DICOM/00000001"));
    touch(dir.filePath("Index.htm"));
    QFile::link(dir.path(), dir.filePath("self"));
    QFile::link(dir.filePath("DICOM"), dir.filePath("DICOM/up"));
    QFile::link(dir.filePath("B"), dir.filePath("A")); // A and B point at each other
    QFile::link(dir.filePath("A"), dir.filePath("B"));
    QFile::link(dir.filePath("Index.htm"), dir.filePath("copy.htm"));

    const BurnFolderListing listing = listFolderToBurn(dir.path());
    EXPECT_EQ(listing.files, QStringList({"Index.htm", "DICOM\\00000001"}));
    EXPECT_TRUE(listing.complete);
}

TEST(BurnFileList, theWalkStopsAtItsLimitsAndWhenCancelled)
{
    QTemporaryDir dir;
    QString deep = dir.path();
    for (int level = 1; level <= MaxBurnFolderDepth + 2; ++level) {
        deep += QString("/L%1").arg(level);
        touch(deep + "/f");
    }
    const BurnFolderListing listing = listFolderToBurn(dir.path());
    EXPECT_FALSE(listing.complete);
    EXPECT_EQ(listing.files.size(), MaxBurnFolderDepth);
    EXPECT_TRUE(listing.files.last().endsWith(QString("L%1\\f").arg(MaxBurnFolderDepth)));

    const std::atomic_bool cancelled{true};
    const BurnFolderListing stopped = listFolderToBurn(dir.path(), &cancelled);
    EXPECT_FALSE(stopped.complete);
    EXPECT_TRUE(stopped.files.isEmpty());
}
