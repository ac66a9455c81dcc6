// The start-up sequence on generated databases: settings, the options dialog
// before any database access, the failed opening, the single instance.
#include "PacsFixture.h"

#include "base/core/AppValues.h"
#include "base/core/Settings.h"
#include "browser/SearchPage.h"
#include "pacsdb/PacsUpgrade.h"

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::test;

class StartupTest : public ::testing::Test {
protected:
    QTemporaryDir locks_;
};

TEST_F(StartupTest, WithoutSettingsTheOptionsComeFirstThenAMissingDatabaseEndsTheProgram)
{
    PacsFixture pacs; // settings file empty
    StartedWindow started(locks_.path());
    started.dialogs.answerMessage(MsgResult::Ok);
    started.dialogs.answerMessage(MsgResult::No);

    EXPECT_EQ(started.start(), StartupOutcome::DatabaseFailed);

    EXPECT_EQ(started.optionsShown, 1);
    EXPECT_TRUE(
        started.connectionsWhenOptionsShown.filter(QStringLiteral("pacs"), Qt::CaseInsensitive).isEmpty())
        << started.connectionsWhenOptionsShown.join(u',').toStdString();
    ASSERT_EQ(started.dialogs.messages.size(), 2u);
    EXPECT_EQ(started.dialogs.messages[0].title, openErrorTitle());
    EXPECT_EQ(started.dialogs.messages[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(started.dialogs.messages[0].text.startsWith(
        QStringLiteral("Impossible d'ouvrir la base de données du PACS :\n\n")));
    EXPECT_EQ(started.dialogs.messages[1].text, databaseNotFoundText());
    EXPECT_EQ(started.dialogs.messages[1].buttons, MsgButtons::YesNo);
    EXPECT_EQ(started.dialogs.unexpected, 0);
}

TEST_F(StartupTest, MissingDatabaseAnsweredYesShowsTheOptionsAndAsksForARestart)
{
    PacsFixture pacs;
    saveSetting(QStringLiteral("Conquest"), QStringLiteral("ConquestPath"),
        pacs.databasePath() + QStringLiteral(".gone"));
    StartedWindow started(locks_.path());
    started.dialogs.answerMessage(MsgResult::Ok);
    started.dialogs.answerMessage(MsgResult::Yes);
    started.dialogs.answerMessage(MsgResult::Ok);

    EXPECT_EQ(started.start(), StartupOutcome::DatabaseFailed);

    EXPECT_EQ(started.optionsShown, 1); // only after the question: a path was configured
    ASSERT_EQ(started.dialogs.messages.size(), 3u);
    EXPECT_EQ(started.dialogs.messages[2].text, restartToApplyText());
    EXPECT_EQ(started.dialogs.messages[2].icon, MsgIcon::Exclamation);
}

TEST_F(StartupTest, ASecondInstanceIsRefusedAndTheFirstKeepsRunning)
{
    PacsFixture pacs;
    pacs.configure();
    StartedWindow first(locks_.path());
    ASSERT_EQ(first.start(), StartupOutcome::Run);

    StartedWindow second(locks_.path());
    EXPECT_EQ(second.start(), StartupOutcome::AlreadyRunning);
    ASSERT_EQ(second.dialogs.messages.size(), 1u);
    EXPECT_EQ(
        second.dialogs.messages[0].text, QStringLiteral("Ce programme est déjà lancé sur votre machine !"));
    EXPECT_EQ(second.dialogs.messages[0].title, QStringLiteral("Vexa Conquest Printer"));
    EXPECT_EQ(second.dialogs.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(second.optionsShown, 0);

    // The first still holds the workstation: a third start is refused too.
    StartedWindow third(locks_.path());
    EXPECT_EQ(third.start(), StartupOutcome::AlreadyRunning);
}

TEST_F(StartupTest, AConfiguredDatabaseStartsTheWindowWithItsVersionAndValues)
{
    PacsFixture pacs;
    pacs.configure();
    saveSetting(QStringLiteral("WorkList"), QStringLiteral("FujiPraticien"), QStringLiteral("AB"));
    StartedWindow started(locks_.path());

    ASSERT_EQ(started.start(), StartupOutcome::Run);

    EXPECT_EQ(started.optionsShown, 0);
    EXPECT_EQ(appValues().fujiPraticien, QStringLiteral("AB"));
    EXPECT_EQ(appValues().conquestPath, pacs.databasePath());
    EXPECT_TRUE(started.window.versionLabel->text().startsWith(QStringLiteral("Version : ")));
    EXPECT_EQ(started.window.page(), 1);
    EXPECT_EQ(started.window.monitorTimer.interval(), 6000);
    EXPECT_TRUE(started.window.monitorTimer.isActive());
    EXPECT_EQ(started.window.dayTimer.interval(), 60000);
    EXPECT_EQ(
        started.window.noticeLabel->text(), QStringLiteral("Il n'y a pas de nouveau dossier à traiter"));
    EXPECT_EQ(started.dialogs.messages.size(), 0u);
}

TEST(ProgramFont, WindowsShowLiberationSansAtTheApplicationsSize)
{
    const QFont before = QApplication::font();
    useProgramFont();
    QLabel plain;
    QLabel bold; // a window's own font change keeps the family
    QFont heavier = bold.font();
    heavier.setBold(true);
    bold.setFont(heavier);
    for (const QLabel* label : {&plain, &bold})
        EXPECT_EQ(QFontInfo(label->font()).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(QApplication::font().pointSizeF(), before.pointSizeF());
    QApplication::setFont(before);
}
