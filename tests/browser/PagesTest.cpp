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
        pacs_.addPatient(QStringLiteral("P20"), QStringLiteral("MARTIN^LUC"));
        pacs_.addSeries(QStringLiteral("S20"), QStringLiteral("P20"), examDay, QStringLiteral("ST20"));
        pacs_.exec(QStringLiteral(
            "INSERT INTO DICOMStudies (StudyInsta, ReferPhysi) VALUES ('ST20', 'HOUSE^GREGORY^^DR')"));
        images20_ = pacs_.addImages(QStringLiteral("S20"), QStringLiteral("P20"), examDay, 20);
        const char* names[] = {"DUPONT^JEAN", "Dubois^Marie", "durand^paul", "LEDU^ANNE"};
        for (int i = 0; i < 11; ++i) {
            const QString id = QStringLiteral("P%1").arg(i);
            pacs_.addPatient(id, QString::fromLatin1(names[i % 4]));
            pacs_.addSeries(QStringLiteral("S%1").arg(i), id, examDay);
        }
        pacs_.configure();
        ASSERT_EQ(started_.start(), StartupOutcome::Run);
    }

    SearchPage& page1() { return *started_.window.searchPage; }
    void searchDates(const QDate& from, const QDate& to) { page1().setDays(from, to); }

    QTemporaryDir locks_;
    PacsFixture pacs_;
    StartedWindow started_{locks_.path()};
    QStringList images20_;
};

} // namespace

TEST_F(PagesTest, DateSearchCountsTheSeriesOfTheRange)
{
    searchDates(examDay.addDays(1), examDay);
    EXPECT_EQ(page1().seriesCountText(), QStringLiteral("Pas de dossier trouvé"));
    EXPECT_FALSE(page1().isListAvailable(ExamList::ByDate));
    EXPECT_EQ(started_.window.sets.seriesByDate.count(), 0);

    searchDates(examDay, examDay);
    EXPECT_EQ(page1().seriesCountText(), QStringLiteral("12 dossiers."));
    EXPECT_TRUE(page1().isListAvailable(ExamList::ByDate));
    EXPECT_EQ(started_.window.sets.seriesByDate.currentRow(), 11); // the newest
}

TEST_F(PagesTest, PatientSearchMatchesTheBeginningOfTheNameInAnyCase)
{
    for (const char* typed : {"DU", "Du", "du"}) {
        page1().setPatientText(QString::fromLatin1(typed));
        RecordSet& list = started_.window.sets.seriesByPatient;
        QStringList names;
        for (list.moveFirst(); !list.eof(); list.moveNext())
            names << list.fieldText(QStringLiteral("PatientName")).section(u' ', 0, 0);
        names.removeDuplicates();
        names.sort(Qt::CaseInsensitive);
        EXPECT_EQ(names.join(u','), QStringLiteral("Dubois,DUPONT,durand")) << typed;
        EXPECT_TRUE(page1().isListAvailable(ExamList::ByPatient));
    }
    page1().setPatientText(QString());
    EXPECT_EQ(started_.window.sets.seriesByPatient.count(), 0);
    EXPECT_FALSE(page1().isListAvailable(ExamList::ByPatient));
}

TEST_F(PagesTest, AnExamWithoutImagesSaysSoAndStaysOnPage1)
{
    searchDates(examDay, examDay);
    started_.window.sets.seriesByDate.findFirst(QStringLiteral("SeriesInst = 'S3'"));
    started_.window.openExamFromList(ExamList::ByDate);
    ASSERT_EQ(started_.dialogs.messages.size(), 1u);
    EXPECT_EQ(started_.dialogs.messages[0].text, QStringLiteral("Cet examen ne contient pas d'images"));
    EXPECT_EQ(started_.dialogs.messages[0].title, QStringLiteral("VexaDicom"));
    EXPECT_EQ(started_.dialogs.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(started_.window.page(), 1);
    EXPECT_FALSE(started_.window.openedExam().isValid());
}

TEST_F(PagesTest, OpeningAnExamOfTwentyImagesFillsFourteenThumbnailsThenEscReturns)
{
    searchDates(examDay, examDay);
    started_.window.sets.seriesByDate.findFirst(QStringLiteral("SeriesInst = 'S20'"));
    started_.window.openExamFromList(ExamList::ByDate);

    EXPECT_EQ(started_.dialogs.messages.size(), 0u);
    EXPECT_EQ(started_.window.page(), 2);
    const Exam& opened = started_.window.openedExam();
    EXPECT_EQ(opened.seriesUid, QStringLiteral("S20"));
    EXPECT_EQ(opened.studyUid, QStringLiteral("ST20"));
    EXPECT_EQ(opened.patientId, QStringLiteral("P20"));
    EXPECT_EQ(opened.patientName, QStringLiteral("MARTIN LUC"));
    EXPECT_EQ(opened.examDate, QStringLiteral("10/01/2024"));
    EXPECT_EQ(started_.window.surveyInterval(), 0); // the monitor runs on page 1 only
    ExamPage& page2 = *started_.window.examPage;
    for (int i = 0; i < MainThumbnailCount; ++i) {
        EXPECT_EQ(page2.thumbnailSlots[i]->tag(), images20_[i]);
        EXPECT_FALSE(page2.thumbnailSlots[i]->pixmap().isNull()) << i;
    }
    EXPECT_EQ(page2.patientNameLabel->text(), QStringLiteral("MARTIN LUC"));
    EXPECT_EQ(page2.examDateLabel->text(), QStringLiteral("10/01/2024"));
    EXPECT_EQ(page2.practitionerLabel->text(),
        QStringLiteral("HOUSE GREGORY DR")); // the stored name read as users read it
    EXPECT_EQ(started_.window.noticeLabel->text(), QStringLiteral("Il y a des nouveaux dossiers à traiter"));
    EXPECT_FALSE(started_.window.blinkTimer.isActive());

    page2.thumbnailSlots[5]->clicked(page2.thumbnailSlots[5]->tag());
    EXPECT_EQ(started_.window.sets.examImages.currentRow(), 5);

    QTest::keyClick(&started_.window, Qt::Key_Escape);
    EXPECT_EQ(started_.window.page(), 1);
    EXPECT_FALSE(started_.window.openedExam().isValid());
    EXPECT_EQ(started_.window.surveyInterval(), 6000);
}

TEST_F(PagesTest, EnterOnPage1OpensTheCurrentNotBurnedExamOnlyWhenItsButtonShows)
{
    started_.window.sets.notBurnedSeries.findFirst(QStringLiteral("SeriesInst = 'S20'"));
    ASSERT_TRUE(page1().isListAvailable(ExamList::NotBurned));
    QTest::keyClick(&started_.window, Qt::Key_Return);
    EXPECT_EQ(started_.window.page(), 2);
}

TEST_F(PagesTest, Page2WithoutAnExamWarnsAndPage4OpensTheOptions)
{
    started_.window.selectPage(2);
    ASSERT_EQ(started_.dialogs.messages.size(), 1u);
    EXPECT_TRUE(started_.dialogs.messages[0].text.startsWith(
        QStringLiteral("Vous n'avez pas sélectionné de patient.\n")));
    EXPECT_EQ(started_.dialogs.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(started_.window.page(), 1);

    int intervalWhileOpen = -1;
    started_.onOptions = [&] { intervalWhileOpen = started_.window.surveyInterval(); };
    started_.window.selectPage(4);
    EXPECT_EQ(started_.optionsShown, 1);
    EXPECT_EQ(intervalWhileOpen, 0);
    EXPECT_EQ(started_.window.page(), 1);
    EXPECT_EQ(started_.window.surveyInterval(), 6000);
}

TEST_F(PagesTest, DayChangeMovesBothPickers)
{
    const QDate tomorrow = appValues().todayDate.addDays(1);
    started_.window.dayTick(appValues().todayDate);
    EXPECT_EQ(page1().fromDay(), appValues().todayDate);
    started_.window.dayTick(tomorrow);
    EXPECT_EQ(page1().fromDay(), tomorrow);
    EXPECT_EQ(page1().toDay(), tomorrow);
    EXPECT_EQ(appValues().todayDate, tomorrow);
    EXPECT_EQ(page1().seriesCountText(), QStringLiteral("Pas de dossier trouvé")); // the list followed
}

TEST(SeriesCount, SaysNoneOneOrMany)
{
    EXPECT_EQ(seriesCountText(0), QStringLiteral("Pas de dossier trouvé"));
    EXPECT_EQ(seriesCountText(1), QStringLiteral("1 dossier."));
    EXPECT_EQ(seriesCountText(12), QStringLiteral("12 dossiers."));
}

TEST_F(PagesTest, ToolsNotAvailableAreGreyedAndSaySo)
{
    ToolsPage& tools = *started_.window.toolsPage;
    for (brixel::Button* button : {tools.archiveDvdButton, tools.backupButton}) {
        EXPECT_FALSE(button->isEnabled());
        EXPECT_EQ(
            button->toolTipText(), QStringLiteral("Cette fonction n'est pas disponible dans cette version."));
    }
    EXPECT_TRUE(tools.dayListButton->isEnabled());
}
