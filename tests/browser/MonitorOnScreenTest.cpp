// The new-exam monitor as the main window shows it, while "Conquest" adds
// series on a connection of its own.
#include "PacsFixture.h"

#include "browser/SearchPage.h"

#include <QLabel>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::test;

using MonitorOnScreen = StartedOnPacs;

TEST_F(MonitorOnScreen, NoticeGoesReceivingThenBlinksThenSettlesThenNothingNew)
{
    MainWindow& w = started_.window;
    EXPECT_EQ(w.noticeLabel->text(), QStringLiteral("Il n'y a pas de nouveau dossier à traiter"));

    const QDate day(2024, 3, 4);
    pacs_.addPatient(QStringLiteral("P1"), QStringLiteral("NOUVEAU^PATIENT"));
    pacs_.addSeries(QStringLiteral("S1"), QStringLiteral("P1"), day);
    pacs_.addImages(QStringLiteral("S1"), QStringLiteral("P1"), day, 2);
    w.monitorTick();
    EXPECT_EQ(w.noticeLabel->text(), QStringLiteral("Réception des données en cours..."));
    EXPECT_FALSE(w.searchPage->isListAvailable(ExamList::NotBurned));
    w.monitorTick();
    EXPECT_EQ(w.noticeLabel->text(), QStringLiteral("Il y a des nouveaux dossiers à traiter"));
    EXPECT_TRUE(w.blinkTimer.isActive());
    EXPECT_EQ(w.blinkTimer.interval(), 500);
    EXPECT_TRUE(w.searchPage->isListAvailable(ExamList::NotBurned));
    const bool shown = !w.receivingPicture->isHidden();
    w.blinkTimer.timeout({});
    EXPECT_NE(!w.receivingPicture->isHidden(), shown); // blinking
    w.monitorTick();
    EXPECT_EQ(w.noticeLabel->text(), QStringLiteral("Il y a des nouveaux dossiers à traiter"));
    EXPECT_FALSE(w.blinkTimer.isActive());
    EXPECT_FALSE(w.receivingPicture->isHidden());
    w.blinkTimer.timeout({}); // a late blink once settled changes nothing
    EXPECT_FALSE(w.receivingPicture->isHidden());
    EXPECT_EQ(
        w.sets.notBurnedSeries.fieldText(QStringLiteral("PatientName")), QStringLiteral("NOUVEAU PATIENT"));

    pacs_.exec(QStringLiteral("UPDATE DICOMSeries SET Burned = -1"));
    w.monitorTick();
    w.monitorTick();
    EXPECT_EQ(w.noticeLabel->text(), QStringLiteral("Il n'y a pas de nouveau dossier à traiter"));
    EXPECT_TRUE(w.receivingPicture->isHidden());
    EXPECT_FALSE(w.searchPage->isListAvailable(ExamList::NotBurned));
}

TEST_F(MonitorOnScreen, PausedMonitorChangesNothing)
{
    started_.window.setSurveyInterval(0);
    pacs_.addSeries(QStringLiteral("S9"), QStringLiteral("P9"), QDate(2024, 1, 1));
    started_.window.monitorTick();
    EXPECT_EQ(
        started_.window.noticeLabel->text(), QStringLiteral("Il n'y a pas de nouveau dossier à traiter"));
    EXPECT_FALSE(started_.window.monitorTimer.isActive());
}

TEST_F(MonitorOnScreen, OpeningAnExamWhileReceivingSettlesTheNoticeAtOnce)
{
    MainWindow& w = started_.window;
    const QDate day(2024, 3, 4);
    pacs_.addPatient(QStringLiteral("P1"), QStringLiteral("NOUVEAU^PATIENT"));
    pacs_.addSeries(QStringLiteral("S1"), QStringLiteral("P1"), day);
    pacs_.addImages(QStringLiteral("S1"), QStringLiteral("P1"), day, 2);
    w.monitorTick();
    ASSERT_EQ(w.noticeLabel->text(), QStringLiteral("Réception des données en cours..."));
    if (!w.receivingPicture->isHidden())
        w.blinkTimer.timeout({}); // caught blinking off

    w.openExamFromList(ExamList::NotBurned);

    ASSERT_EQ(w.page(), 2);
    EXPECT_EQ(w.noticeLabel->text(), QStringLiteral("Il y a des nouveaux dossiers à traiter"));
    EXPECT_FALSE(w.receivingPicture->isHidden());
    EXPECT_FALSE(w.blinkTimer.isActive());
}
