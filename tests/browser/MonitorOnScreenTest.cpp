// The new-exam monitor as the main window shows it, while "Conquest" adds
// series on a connection of its own.
#include "PacsFixture.h"

#include "SearchPage.h"

#include <QLabel>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::test;

using MonitorOnScreen = StartedOnPacs;

TEST_F(MonitorOnScreen, NoticeGoesReceivingThenBlinksThenSettlesThenNothingNew)
{
    frmMain& w = started.window;
    EXPECT_EQ(w.Label1->text(), QStringLiteral("Il n'y a pas de nouveau dossier à traiter"));

    const QDate day(2024, 3, 4);
    pacs.addPatient(QStringLiteral("P1"), QStringLiteral("NOUVEAU^PATIENT"));
    pacs.addSeries(QStringLiteral("S1"), QStringLiteral("P1"), day);
    pacs.addImages(QStringLiteral("S1"), QStringLiteral("P1"), day, 2);
    w.MonitorTick();
    EXPECT_EQ(w.Label1->text(), QStringLiteral("Réception des données en cours..."));
    EXPECT_TRUE(w.Page1->Button8[2]->isHidden());
    w.MonitorTick();
    EXPECT_EQ(w.Label1->text(), QStringLiteral("Il y a des nouveaux dossiers à traiter"));
    EXPECT_TRUE(w.TimerMessage.isActive());
    EXPECT_EQ(w.TimerMessage.interval(), 500);
    EXPECT_FALSE(w.Page1->Button8[2]->isHidden());
    const bool shown = !w.Image5->isHidden();
    w.TimerMessage.timeout({});
    EXPECT_NE(!w.Image5->isHidden(), shown); // blinking
    w.MonitorTick();
    EXPECT_EQ(w.Label1->text(), QStringLiteral("Il y a des nouveaux dossiers à traiter"));
    EXPECT_FALSE(w.TimerMessage.isActive());
    EXPECT_FALSE(w.Image5->isHidden());
    EXPECT_EQ(w.sets.ConnPatientNotBurned.fieldText(QStringLiteral("PatientName")),
        QStringLiteral("NOUVEAU PATIENT"));

    pacs.exec(QStringLiteral("UPDATE DICOMSeries SET Burned = -1"));
    w.MonitorTick();
    w.MonitorTick();
    EXPECT_EQ(w.Label1->text(), QStringLiteral("Il n'y a pas de nouveau dossier à traiter"));
    EXPECT_TRUE(w.Image5->isHidden());
    EXPECT_TRUE(w.Page1->Button8[2]->isHidden());
}

TEST_F(MonitorOnScreen, PausedMonitorChangesNothing)
{
    started.window.SetSurveyInterval(0);
    pacs.addSeries(QStringLiteral("S9"), QStringLiteral("P9"), QDate(2024, 1, 1));
    started.window.MonitorTick();
    EXPECT_EQ(started.window.Label1->text(), QStringLiteral("Il n'y a pas de nouveau dossier à traiter"));
    EXPECT_FALSE(started.window.TimerSurvey.isActive());
}

TEST_F(MonitorOnScreen, OpeningAnExamWhileReceivingSettlesTheNoticeAtOnce)
{
    frmMain& w = started.window;
    const QDate day(2024, 3, 4);
    pacs.addPatient(QStringLiteral("P1"), QStringLiteral("NOUVEAU^PATIENT"));
    pacs.addSeries(QStringLiteral("S1"), QStringLiteral("P1"), day);
    pacs.addImages(QStringLiteral("S1"), QStringLiteral("P1"), day, 2);
    w.MonitorTick();
    ASSERT_EQ(w.Label1->text(), QStringLiteral("Réception des données en cours..."));
    if (!w.Image5->isHidden())
        w.TimerMessage.timeout({}); // caught blinking off

    w.OpenExamFromList(2);

    ASSERT_EQ(w.page(), 2);
    EXPECT_EQ(w.Label1->text(), QStringLiteral("Il y a des nouveaux dossiers à traiter"));
    EXPECT_FALSE(w.Image5->isHidden());
    EXPECT_FALSE(w.TimerMessage.isActive());
}
