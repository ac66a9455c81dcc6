#include "files/FileFinder.h"
#include "TreeFixture.h"
#include <QSignalSpy>

using namespace vexa;
using namespace vexa::testing;

TEST(FileFinder, FindsFilesDepthFirstOwnFilesBeforeSubfolders)
{
    QTemporaryDir temp;
    const QString root = temp.path();
    // Created out of order: the result must follow names, not the file system.
    for (const char* name :
        {"c.jpeg", "a.jpeg", "B.JPEG", "notes.txt", "sub/e.jpeg", "sub/d.jpeg", "sub/x.jpg"})
        makeFile(root + "/" + name);
    QDir().mkpath(root + "/empty");

    FileFinder finder;
    QSignalSpy changes(&finder, &FileFinder::changeDir);
    const QStringList found = finder.search(root, "*.jpeg");
    const QStringList expected = {"5", root + "/a.jpeg", root + "/B.JPEG", root + "/c.jpeg",
        root + "/sub/d.jpeg", root + "/sub/e.jpeg"};
    EXPECT_EQ(found, expected);
    ASSERT_GE(changes.size(), 1);
    EXPECT_EQ(changes.first().first().toString(), root + "/");

    EXPECT_EQ(finder.search(root + "//sub/", "*.*").size(), 4) << "doubled separator, dotless mask";
    EXPECT_EQ(finder.search(root + "/absent", "*.jpeg"), QStringList{"0"});
}
