// The main window's pages on a generated database: the searches of page 1,
// opening an exam into page 2, and the page-change rules.
#include "PacsFixture.h"

#include "base/core/AppValues.h"
#include "browser/ExamLists.h"
#include "browser/ExamPage.h"
#include "browser/SearchPage.h"
#include "browser/ToolsPage.h"

#include <brixel/Button.h>

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::test;

namespace {

const QDate examDay(2024, 1, 10);

class PagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        pacs.addPatient(QStringLiteral("P20"), QStringLiteral("MARTIN^LUC"));
        pacs.addSeries(QStringLiteral("S20"), QStringLiteral("P20"), examDay, QStringLiteral("ST20"));
        pacs.exec(QStringLiteral(
            "INSERT INTO DICOMStudies (StudyInsta, ReferPhysi) VALUES ('ST20', 'HOUSE^GREGORY^^DR')"));
        images20 = pacs.addImages(QStringLiteral("S20"), QStringLiteral("P20"), examDay, 20);
        const char* names[] = {"DUPONT^JEAN", "Dubois^Marie", "durand^paul", "LEDU^ANNE"};
        for (int i = 0; i < 11; ++i) {
            const QString id = QStringLiteral("P%1").arg(i);
            pacs.addPatient(id, QString::fromLatin1(names[i % 4]));
            pacs.addSeries(QStringLiteral("S%1").arg(i), id, examDay);
        }
        pacs.configure();
        ASSERT_EQ(started.start(), StartupOutcome::Run);
    }

    SearchPage& page1() { return *started.window.searchPage; }
    void searchDates(const QDate& from, const QDate& to) { page1().setDays(from, to); }

    QTemporaryDir locks;
    PacsFixture pacs;
    StartedWindow started{locks.path()};
    QStringList images20;
};

} // namespace

TEST_F(PagesTest, DateSearchCountsTheSeriesOfTheRange)
{
    searchDates(examDay.addDays(1), examDay);
    EXPECT_EQ(page1().seriesCountText(), QStringLiteral("Pas de dossier trouvé"));
    EXPECT_FALSE(page1().isListAvailable(ExamList::ByDate));
    EXPECT_EQ(started.window.sets.seriesByDate.count(), 0);

    searchDates(examDay, examDay);
    EXPECT_EQ(page1().seriesCountText(), QStringLiteral("12 dossiers."));
    EXPECT_TRUE(page1().isListAvailable(ExamList::ByDate));
    EXPECT_EQ(started.window.sets.seriesByDate.currentRow(), 11); // the newest
}

TEST_F(PagesTest, PatientSearchMatchesTheBeginningOfTheNameInAnyCase)
{
    for (const char* typed : {"DU", "Du", "du"}) {
        page1().setPatientText(QString::fromLatin1(typed));
        RecordSet& list = started.window.sets.seriesByPatient;
        QStringList names;
        for (list.moveFirst(); !list.eof(); list.moveNext())
            names << list.fieldText(QStringLiteral("PatientName")).section(u' ', 0, 0);
        names.removeDuplicates();
        names.sort(Qt::CaseInsensitive);
        EXPECT_EQ(names.join(u','), QStringLiteral("Dubois,DUPONT,durand")) << typed;
        EXPECT_TRUE(page1().isListAvailable(ExamList::ByPatient));
    }
    page1().setPatientText(QString());
    EXPECT_EQ(started.window.sets.seriesByPatient.count(), 0);
    EXPECT_FALSE(page1().isListAvailable(ExamList::ByPatient));
}

TEST_F(PagesTest, AnExamWithoutImagesSaysSoAndStaysOnPage1)
{
    searchDates(examDay, examDay);
    started.window.sets.seriesByDate.findFirst(QStringLiteral("SeriesInst = 'S3'"));
    started.window.OpenExamFromList(ExamList::ByDate);
    ASSERT_EQ(started.dialogs.messages.size(), 1u);
    EXPECT_EQ(started.dialogs.messages[0].text, QStringLiteral("Cet examen ne contient pas d'images"));
    EXPECT_EQ(started.dialogs.messages[0].title, QStringLiteral("VexaDicom"));
    EXPECT_EQ(started.dialogs.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(started.window.page(), 1);
    EXPECT_FALSE(started.window.openedExam().isValid());
}

TEST_F(PagesTest, OpeningAnExamOfTwentyImagesFillsFourteenThumbnailsThenEscReturns)
{
    searchDates(examDay, examDay);
    started.window.sets.seriesByDate.findFirst(QStringLiteral("SeriesInst = 'S20'"));
    started.window.OpenExamFromList(ExamList::ByDate);

    EXPECT_EQ(started.dialogs.messages.size(), 0u);
    EXPECT_EQ(started.window.page(), 2);
    const Exam& opened = started.window.openedExam();
    EXPECT_EQ(opened.seriesUid, QStringLiteral("S20"));
    EXPECT_EQ(opened.studyUid, QStringLiteral("ST20"));
    EXPECT_EQ(opened.patientId, QStringLiteral("P20"));
    EXPECT_EQ(opened.patientName, QStringLiteral("MARTIN LUC"));
    EXPECT_EQ(opened.examDate, QStringLiteral("10/01/2024"));
    EXPECT_EQ(started.window.surveyInterval(), 0); // the monitor runs on page 1 only
    ExamPage& page2 = *started.window.examPage;
    for (int i = 0; i < MainThumbnailCount; ++i) {
        EXPECT_EQ(page2.Thumbnails[i]->tag(), images20[i]);
        EXPECT_FALSE(page2.Thumbnails[i]->pixmap().isNull()) << i;
    }
    EXPECT_EQ(page2.patientNameLabel->text(), QStringLiteral("MARTIN LUC"));
    EXPECT_EQ(page2.examDateLabel->text(), QStringLiteral("10/01/2024"));
    EXPECT_EQ(page2.practitionerLabel->text(),
        QStringLiteral("HOUSE GREGORY DR")); // the stored name read as users read it
    EXPECT_EQ(started.window.noticeLabel->text(), QStringLiteral("Il y a des nouveaux dossiers à traiter"));
    EXPECT_FALSE(started.window.blinkTimer.isActive());

    page2.Thumbnails[5]->clicked(page2.Thumbnails[5]->tag());
    EXPECT_EQ(started.window.sets.examImages.currentRow(), 5);

    QTest::keyClick(&started.window, Qt::Key_Escape);
    EXPECT_EQ(started.window.page(), 1);
    EXPECT_FALSE(started.window.openedExam().isValid());
    EXPECT_EQ(started.window.surveyInterval(), 6000);
}

TEST_F(PagesTest, EnterOnPage1OpensTheCurrentNotBurnedExamOnlyWhenItsButtonShows)
{
    started.window.sets.notBurnedSeries.findFirst(QStringLiteral("SeriesInst = 'S20'"));
    ASSERT_TRUE(page1().isListAvailable(ExamList::NotBurned));
    QTest::keyClick(&started.window, Qt::Key_Return);
    EXPECT_EQ(started.window.page(), 2);
}

TEST_F(PagesTest, Page2WithoutAnExamWarnsAndPage4OpensTheOptions)
{
    started.window.SelectPage(2);
    ASSERT_EQ(started.dialogs.messages.size(), 1u);
    EXPECT_TRUE(started.dialogs.messages[0].text.startsWith(
        QStringLiteral("Vous n'avez pas sélectionné de patient.\n")));
    EXPECT_EQ(started.dialogs.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(started.window.page(), 1);

    int intervalWhileOpen = -1;
    started.onOptions = [&] { intervalWhileOpen = started.window.surveyInterval(); };
    started.window.SelectPage(4);
    EXPECT_EQ(started.optionsShown, 1);
    EXPECT_EQ(intervalWhileOpen, 0);
    EXPECT_EQ(started.window.page(), 1);
    EXPECT_EQ(started.window.surveyInterval(), 6000);
}

TEST_F(PagesTest, DayChangeMovesBothPickers)
{
    const QDate tomorrow = appValues().TodayDate.addDays(1);
    started.window.DayTick(appValues().TodayDate);
    EXPECT_EQ(page1().fromDay(), appValues().TodayDate);
    started.window.DayTick(tomorrow);
    EXPECT_EQ(page1().fromDay(), tomorrow);
    EXPECT_EQ(page1().toDay(), tomorrow);
    EXPECT_EQ(appValues().TodayDate, tomorrow);
    EXPECT_EQ(page1().seriesCountText(), QStringLiteral("Pas de dossier trouvé")); // the list followed
}

TEST(SeriesCount, SaysNoneOneOrMany)
{
    EXPECT_EQ(SeriesCountText(0), QStringLiteral("Pas de dossier trouvé"));
    EXPECT_EQ(SeriesCountText(1), QStringLiteral("1 dossier."));
    EXPECT_EQ(SeriesCountText(12), QStringLiteral("12 dossiers."));
}

TEST_F(PagesTest, ToolsNotAvailableAreGreyedAndSaySo)
{
    ToolsPage& tools = *started.window.toolsPage;
    for (brixel::Button* button : {tools.archiveDvdButton, tools.backupButton}) {
        EXPECT_FALSE(button->isEnabled());
        EXPECT_EQ(
            button->toolTipText(), QStringLiteral("Cette fonction n'est pas disponible dans cette version."));
    }
    EXPECT_TRUE(tools.dayListButton->isEnabled());
}
