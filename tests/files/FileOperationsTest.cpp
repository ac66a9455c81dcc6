#include "files/FileOperations.h"
#include "TreeFixture.h"
#include "files/Processes.h"
#include <QStandardPaths>
#include <QStorageInfo>

using namespace vexa;
using namespace vexa::testing;

namespace {

// A staging folder like the CD one: files, a dotless file and a subfolder with content.
class StagingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp_.isValid());
        staging_ = temp_.filePath("ToBurn.tmp");
        makeFile(staging_ + "/Index.htm", "page");
        makeFile(staging_ + "/DICOMDIR", "dir");
        makeFile(staging_ + "/JPG/00000001.jpeg", "one");
        makeFile(staging_ + "/JPG/deep/00000002.jpg", "two");
    }
    QTemporaryDir temp_;
    QString staging_;
};

const QStringList stagedTree
    = {"DICOMDIR", "Index.htm", "JPG/", "JPG/00000001.jpeg", "JPG/deep/", "JPG/deep/00000002.jpg"};

} // namespace

TEST_F(StagingTest, DeleteOfEverythingSilentlyEmptiesTheFolder)
{
    ASSERT_FALSE(desktopTrashExists()) << "tests run with their own empty data folder";
    EXPECT_TRUE(deleteFiles(staging_ + "/*.*", true));
    EXPECT_TRUE(QDir(staging_).exists());
    EXPECT_EQ(treeOf(staging_), QStringList());
    EXPECT_TRUE(deleteFiles(staging_ + "/*.*", true)) << "nothing left to delete is no failure";
    EXPECT_FALSE(deleteFiles(staging_ + "/absent.htm", true));
}

TEST(DeleteFiles, WithADesktopTrashTheFilesStayRecoverable)
{
    // Both in the test's own data folder, so the home trash is the one used.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString trash = data + "/Trash";
    const QString file = data + "/staging/Index.htm";
    makeFile(file, "page");
    if (QStorageInfo(file) != QStorageInfo(QDir::home())) {
        QDir(data + "/staging").removeRecursively();
        GTEST_SKIP() << "the data folder is not on the home volume";
    }
    ASSERT_TRUE(QDir().mkpath(trash + "/files"));
    const bool deleted = deleteFiles(data + "/staging/*.*");
    const QStringList trashed = QDir(trash + "/files").entryList(QDir::Files);
    QDir(trash).removeRecursively();
    QDir(data + "/staging").removeRecursively();
    EXPECT_TRUE(deleted);
    EXPECT_EQ(trashed, QStringList{"Index.htm"});
}

TEST_F(StagingTest, CopyOfAPatternTakesFilesAndFoldersWithTheirContent)
{
    const QString cd = temp_.filePath("cd/new");
    makeFile(cd + "/Index.htm", "old page, longer than the new one");
    EXPECT_TRUE(copyFiles(staging_ + "/*.*", cd, true));
    EXPECT_EQ(treeOf(cd), stagedTree);
    EXPECT_EQ(contentOf(cd + "/Index.htm"), "page") << "an existing file is replaced";
    EXPECT_EQ(treeOf(staging_), stagedTree) << "the source stays";

    const QString pictures = temp_.filePath("pictures");
    EXPECT_TRUE(copyFiles(staging_ + "/JPG/*.jpeg", pictures));
    EXPECT_EQ(treeOf(pictures), QStringList{"00000001.jpeg"});
    EXPECT_TRUE(copyFiles(staging_ + "/DICOMDIR", pictures));
    EXPECT_EQ(contentOf(pictures + "/DICOMDIR"), "dir");
    EXPECT_FALSE(copyFiles(staging_ + "/absent.jpg", pictures));
}

TEST_F(StagingTest, CopyOrMoveOntoItselfIsRefusedWithoutHarm)
{
    EXPECT_FALSE(copyFiles(staging_ + "/Index.htm", staging_)) << "a file copied onto itself";
    EXPECT_FALSE(moveFiles(staging_ + "/Index.htm", staging_ + "/"));
    EXPECT_EQ(contentOf(staging_ + "/Index.htm"), "page");

    EXPECT_FALSE(copyFiles(staging_ + "/*.*", staging_ + "/JPG"));
    EXPECT_FALSE(moveFiles(staging_ + "/*.*", staging_ + "/JPG"));
    EXPECT_EQ(contentOf(staging_ + "/JPG/deep/00000002.jpg"), "two");
    EXPECT_FALSE(QDir(staging_ + "/JPG/JPG").exists());
    EXPECT_EQ(contentOf(staging_ + "/JPG/Index.htm"), "page") << "the other entries went their way";
}

TEST_F(StagingTest, MoveMergesIntoAnExistingFolder)
{
    const QString cd = temp_.filePath("cd");
    makeFile(cd + "/JPG/Blank.jpg", "blank");
    EXPECT_TRUE(moveFiles(staging_ + "/*.*", cd, true));
    EXPECT_EQ(treeOf(staging_), QStringList());
    QStringList expected = stagedTree;
    expected << "JPG/Blank.jpg";
    expected.sort();
    EXPECT_EQ(treeOf(cd), expected);
    EXPECT_EQ(contentOf(cd + "/JPG/deep/00000002.jpg"), "two");
}

TEST(PathHelpers, SplitOnEitherSeparator)
{
    struct Case {
        const char* path;
        const char* name;
        const char* folder;
    };
    const Case cases[] = {
        {"c:\\a\\b.htm", "b.htm", "c:\\a"},
        {"/srv/a/b.htm", "b.htm", "/srv/a"},
        {"b.htm", "b.htm", ""},
        {"", "", ""},
        {"/srv/a/", "", "/srv/a"},
        {"PAT\\x/y.v2", "y.v2", "PAT\\x"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fileNameOf(c.path), c.name) << c.path;
        EXPECT_EQ(folderOf(c.path), c.folder) << c.path;
    }
}

TEST(RunAndWait, WaitsForTheProgramAndThrowsWhenItCannotStart)
{
    QTemporaryDir temp;
    const QString marker = temp.filePath("fini");
    runAndWait("/bin/sh -c \"sleep 0.2; echo ok > '" + marker + "'\"");
    EXPECT_TRUE(QFile::exists(marker)) << "returns only once the program has ended";
    EXPECT_NO_THROW(runAndWait("/bin/sh -c \"exit 3\"")) << "the exit status is not looked at";

    try {
        runAndWait(temp.filePath("dcm2jpeg.sys") + " -q image.v2", MinimizedNoFocus);
        FAIL() << "a missing program must be reported";
    } catch (const ProcessStartError& error) {
        EXPECT_EQ(error.number(), 53);
        EXPECT_TRUE(error.commandLine().contains("dcm2jpeg.sys"));
    }
    EXPECT_THROW(runAndWait(""), ProcessStartError);
}
