#include "base/core/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <filesystem>
#include <gtest/gtest.h>

using namespace vexa;

namespace {

int fileMode(const QString& path)
{
    return static_cast<int>(
        std::filesystem::status(path.toStdString()).permissions() & std::filesystem::perms::mask);
}

} // namespace

// The folders the call makes are closed to others; a parent that was there
// keeps the access its other users need; an existing target is closed too.
TEST(PrivateFilesTest, FoldersMadeAreOpenToTheirOwnerOnly)
{
    QTemporaryDir root;
    const QString shared = root.filePath("shared");
    ASSERT_TRUE(QDir().mkdir(shared));
    ASSERT_TRUE(QFile::setPermissions(shared,
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup
            | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther));

    EXPECT_TRUE(makePrivateFolder(shared + "/ToBurn.tmp/CD1"));
    EXPECT_EQ(fileMode(shared), 0755);
    EXPECT_EQ(fileMode(shared + "/ToBurn.tmp"), 0700);
    EXPECT_EQ(fileMode(shared + "/ToBurn.tmp/CD1"), 0700);

    EXPECT_TRUE(makePrivateFolder(shared)) << "an existing folder";
    EXPECT_EQ(fileMode(shared), 0700);

    QFile file(shared + "/report.rtf");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_TRUE(makePrivateFile(file.fileName()));
    EXPECT_EQ(fileMode(file.fileName()), 0600);

    EXPECT_FALSE(makePrivateFolder(file.fileName())) << "a file is not a folder";
}
