// Opening an exam from the main window while the monitor's timer fires and
// "Conquest" keeps adding rows on a connection of its own; the list the
// keyboard opens; a failed query during an opening or a search.
#include "PacsFixture.h"

#include "base/ui/WaitWindow.h"
#include "browser/ExamPage.h"
#include "browser/SearchPage.h"
#include "browser/export/SeriesExport.h"

#include <QApplication>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::test;

namespace {

const QDate examDay(2024, 1, 10);

class ExamOpeningTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        pacs_.addTwoExams(examDay);
        pacs_.configure();
        ASSERT_EQ(started_.start(), StartupOutcome::Run);
        window().searchPage->setDays(examDay, examDay);
    }

    MainWindow& window() { return started_.window; }
    SearchPage& page1() { return *started_.window.searchPage; }

    QTemporaryDir locks_;
    PacsFixture pacs_;
    StartedWindow started_{locks_.path()};
};

} // namespace

TEST_F(ExamOpeningTest, TicksAndNewRowsDuringTheExportChangeNothingAndASecondOpeningIsRefused)
{
    window().exportSeries = productionSeriesExporter(&window());
    window().sets.seriesByDate.findFirst(QStringLiteral("SeriesInst = 'SA'"));
    page1().setPatientText(QStringLiteral("BRAVO"));
    ASSERT_EQ(window().sets.seriesByPatient.fieldText(QStringLiteral("SeriesInst")), QStringLiteral("SB"));

    bool sawModalWait = false;
    int intervalDuringExport = -1;
    int rounds = 0;
    QTimer meanwhile;
    meanwhile.setInterval(0);
    QObject::connect(&meanwhile, &QTimer::timeout, [&] {
        if (++rounds > 1)
            return;
        sawModalWait = qobject_cast<WaitWindow*>(QApplication::activeModalWidget()) != nullptr;
        intervalDuringExport = window().surveyInterval();
        pacs_.addPatient(QStringLiteral("PN"), QStringLiteral("NOUVEAU^NINA"));
        pacs_.addSeries(QStringLiteral("SN"), QStringLiteral("PN"), examDay);
        pacs_.addImages(QStringLiteral("SN"), QStringLiteral("PN"), examDay, 2);
        emit window().monitorTimer.timeout({});
        window().monitor->nameNewRows(); // whatever the monitor does with its own record sets
        window().openExamFromList(
            ExamList::ByPatient); // the patient list's exam: refused while the first opens
    });
    meanwhile.start();
    window().openExamFromList(ExamList::ByDate);
    meanwhile.stop();

    ASSERT_GE(rounds, 1) << "the export let no event run";
    EXPECT_TRUE(sawModalWait);
    EXPECT_EQ(intervalDuringExport, 0);
    EXPECT_TRUE(started_.dialogs.messages.empty());
    ASSERT_EQ(window().page(), 2);
    EXPECT_EQ(window().openedExam().seriesUid, QStringLiteral("SA"));
    EXPECT_EQ(window().examPage->patientNameLabel->text(), QStringLiteral("ALPHA ANNE"));
    EXPECT_EQ(window().sets.examImages.count(), 3);
    for (int row = 0; row < 3; ++row) {
        window().sets.examImages.goTo(row);
        EXPECT_EQ(window().sets.examImages.fieldText(QStringLiteral("SeriesInst")), QStringLiteral("SA"));
        EXPECT_TRUE(window().sets.examImages.fieldBool(QStringLiteral("JpegExported"))) << row;
    }
    EXPECT_FALSE(window().isOpeningExam());
}

TEST_F(ExamOpeningTest, AFailedOpeningResumesTheMonitorWithOneTick)
{
    // Back on page 1 after an opening that found no image, the monitor runs
    // again at once and has seen the series that came meanwhile.
    pacs_.addSeries(QStringLiteral("SE"), QStringLiteral("PA"), examDay);
    window().monitorTick();
    window().dateSearch();
    ASSERT_TRUE(window().sets.seriesByDate.findFirst(QStringLiteral("SeriesInst = 'SE'")));
    const int before = window().sets.notBurnedSeries.count();
    pacs_.addPatient(QStringLiteral("PN"), QStringLiteral("NOUVEAU^NINA"));
    pacs_.addSeries(QStringLiteral("SN"), QStringLiteral("PN"), examDay);
    pacs_.addImages(QStringLiteral("SN"), QStringLiteral("PN"), examDay, 1);
    window().openExamFromList(ExamList::ByDate);
    EXPECT_EQ(window().page(), 1);
    EXPECT_EQ(window().surveyInterval(), 6000);
    EXPECT_TRUE(window().monitorTimer.isActive());
    EXPECT_EQ(window().sets.notBurnedSeries.count(), before + 1);
}

TEST_F(ExamOpeningTest, EnterOpensTheRowOfTheListTheUserIsIn)
{
    window().show();
    window().activateWindow();
    ASSERT_TRUE(window().sets.notBurnedSeries.findFirst(QStringLiteral("SeriesInst = 'SA'")));
    QLineEdit* patientNameEdit = page1().findChild<QLineEdit*>(QStringLiteral("patientNameEdit"));
    patientNameEdit->setFocus();
    QTest::keyClicks(patientNameEdit, QStringLiteral("BRAVO"));
    // Enter right after typing, before the typing pause: it lists what was typed first.
    EXPECT_NE(window().sets.seriesByPatient.fieldText(QStringLiteral("SeriesInst")), QStringLiteral("SB"));
    QTest::keyClick(patientNameEdit, Qt::Key_Return);
    ASSERT_EQ(window().page(), 2);
    EXPECT_EQ(window().openedExam().seriesUid, QStringLiteral("SB"));
}

TEST_F(ExamOpeningTest, CountLabelFollowsANewSeriesAfterADateSearch)
{
    pacs_.addPatient(QStringLiteral("PC"), QStringLiteral("CHARLIE^CLEO"));
    pacs_.addSeries(QStringLiteral("SC"), QStringLiteral("PC"), examDay);
    window().monitorTick();
    ASSERT_EQ(page1().seriesCountText(), QStringLiteral("3 dossiers."));
    page1().setDays(examDay.addDays(1), page1().toDay()); // nothing in that range
    ASSERT_EQ(page1().seriesCountText(), QStringLiteral("Pas de dossier trouvé"));
    page1().setDays(examDay, page1().toDay());
    pacs_.exec(QStringLiteral("DELETE FROM DICOMSeries WHERE SeriesInst = 'SC'"));
    window().dateSearch();
    ASSERT_EQ(page1().seriesCountText(), QStringLiteral("2 dossiers."));
    pacs_.addSeries(QStringLiteral("SD"), QStringLiteral("PC"), examDay);
    window().monitorTick();
    EXPECT_EQ(page1().seriesCountText(), QStringLiteral("3 dossiers."));
}
