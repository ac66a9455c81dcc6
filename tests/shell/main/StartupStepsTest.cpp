// The widget-free rules of the start-up and of the options dialog.
#include "shell/main/StartupSteps.h"
#include "shell/main/OptionsMapping.h"
#include "shell/main/SystemInfoViewer.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vexa;

TEST(StartupSteps, VersionCaptionHasPlainNumbers)
{
    EXPECT_EQ(versionCaption(2, 1, 14), QStringLiteral("Version : 2.1.14"));
    EXPECT_EQ(versionCaption(2, 0, 7), QStringLiteral("Version : 2.0.7"));
    EXPECT_EQ(aboutVersionText(10, 0, 0), QStringLiteral("Version 10.0.0"));
}

TEST(StartupSteps, WindowFillsTheScreenBesideTheTaskbar)
{
    const QRect screen(0, 0, 1024, 768);
    EXPECT_EQ(mainWindowRect(screen, 40), QRect(0, 0, 1024, 728)); // taskbar at the bottom
    EXPECT_EQ(mainWindowRect(screen, -40), QRect(0, 40, 1024, 728)); // at the top
    EXPECT_EQ(mainWindowRect(screen, 0), screen);
}

TEST(OptionsMapping, ImageFolderFollowsTheDatabaseLayout)
{
    const struct {
        const char* database;
        const char* folder;
    } cases[] = {
        {"C:\\Conquest\\dbase\\conquestpacs_s.mdb", "C:\\Conquest\\"},
        {"/opt/conquest/data/dbase/conquest.db3", "/opt/conquest/data/"},
        // Outside the layout the whole path is copied; the user corrects it.
        {"/srv/pacs/other.db3", "/srv/pacs/other.db3"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(imageFolderForDatabase(QString::fromUtf8(c.database)), QString::fromUtf8(c.folder))
            << c.database;
}

TEST(OptionsMapping, ChosenFileGivesItsFolder)
{
    EXPECT_EQ(
        folderOfChosenFile(QStringLiteral("/mnt/netpix/wl/any.txt")), QStringLiteral("/mnt/netpix/wl/"));
    EXPECT_EQ(
        folderOfChosenFile(QStringLiteral("\\\\netpix\\wl\\x.txt")), QStringLiteral("\\\\netpix\\wl\\"));
    EXPECT_EQ(folderOfChosenFile(QStringLiteral("bare")), QString());
}

TEST(SystemInfoViewer, FirstProgramFoundOnThePathWins)
{
    QTemporaryDir bin;
    for (const char* name : {"second", "third"}) {
        QFile file(bin.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
        file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    }
    const QStringList programs{QStringLiteral("first"), QStringLiteral("second"), QStringLiteral("third")};
    EXPECT_EQ(findSystemInfoViewer(programs, bin.path()), bin.filePath(QStringLiteral("second")));
    EXPECT_EQ(findSystemInfoViewer({QStringLiteral("first")}, bin.path()), QString());
}

TEST(StartupSteps, UpgradeProgressGroupsThousandsWithABlank)
{
    EXPECT_EQ(upgradeProgressText(12000, 300000),
        QStringLiteral("Mise à jour de la base : 12 000 / 300 000 images"));
    EXPECT_EQ(upgradeProgressText(0, 999), QStringLiteral("Mise à jour de la base : 0 / 999 images"));
    EXPECT_EQ(upgradeProgressText(1000, 1234567),
        QStringLiteral("Mise à jour de la base : 1 000 / 1 234 567 images"));
}
