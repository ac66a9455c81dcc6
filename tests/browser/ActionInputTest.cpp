// The main window's long actions while the user keeps working: input
// delivered while the work runs (close the exam, open another, the same
// button again, the day list, a monitor tick) is refused or changes nothing
// the action finishes on; page 2 reads its images again after anything marks
// them printed; and an exam another workstation deleted is refused by every
// action of this one, with nothing written to the series that came after it.
#include "PacsFixture.h"

#include "WorkPause.h"
#include "base/ui/BackgroundWork.h"
#include "browser/ExamPage.h"
#include "browser/SearchPage.h"
#include "browser/ToolsPage.h"
#include "pacsdb/ExamChecks.h"
#include "printing/actions/PrintActions.h"

#include <QApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QMouseEvent>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::test;

namespace {

const QDate examDay(2024, 1, 10);

// A click delivered straight to the widget, as a test tool would: the
// waiting window's modality does not stop it, the program must.
void click(QWidget* widget, Qt::MouseButton button = Qt::LeftButton)
{
    const QPointF at(3, 3);
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), button, button, {});
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), button, {}, {});
    QApplication::sendEvent(widget, &release);
}

class ActionInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        pacs_.addTwoExams(examDay);
        pacs_.configure();
        ASSERT_EQ(started_.start(), StartupOutcome::Run);
        page1().setDays(examDay, examDay);
        page1().setPatientText(QStringLiteral("BRAVO")); // the patient list holds B
    }

    void open(const QString& series)
    {
        ASSERT_TRUE(window().sets.seriesByDate.findFirst(QStringLiteral("SeriesInst = '%1'").arg(series)));
        window().openExamFromList(ExamList::ByDate);
        ASSERT_EQ(window().openedExam().seriesUid, series);
    }

    // The images of the series marked printed, as stored.
    int printedOf(const QString& series)
    {
        RecordSet rows;
        rows.setDatabasePath(pacs_.databasePath());
        rows.setRecordSource(
            QStringLiteral("SELECT * FROM DICOMImages WHERE Printed <> 0 AND SeriesInst = '%1'").arg(series));
        EXPECT_TRUE(rows.requery());
        return rows.count();
    }

    QStringList gridPrinted()
    {
        QStringList shown;
        const QAbstractItemModel* model = window().examPage->imageGrid->model();
        for (int row = 0; row < model->rowCount(); ++row)
            shown << model->data(model->index(row, 1)).toString();
        return shown;
    }

    MainWindow& window() { return started_.window; }
    SearchPage& page1() { return *started_.window.searchPage; }
    ExamPage& page2() { return *started_.window.examPage; }

    QTemporaryDir locks_;
    PacsFixture pacs_;
    StartedWindow started_{locks_.path()};
};

TEST_F(ActionInput, OpeningAnExamEndsOnItWhateverTheUserDoesMeanwhile)
{
    QStringList exported;
    std::unique_ptr<WorkPause> pause;
    window().exportSeries = [&](const QString&, const QString& uid) {
        return runInBackground<bool>(&window(), {}, [&, uid](WorkProgress&) {
            exported << uid;
            pause->pause();
            return true;
        });
    };
    pause = std::make_unique<WorkPause>([&] {
        click(
            page1().findChild<brixel::Button*>(QStringLiteral("Button8(1)"))); // open the patient list's exam
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(page1().findChild<QLineEdit*>(QStringLiteral("patientNameEdit")), &enter);
        emit window().monitorTimer.timeout({});
        click(page2().closeExamButton);
    });
    open(QStringLiteral("SA"));

    ASSERT_TRUE(pause->delivered());
    EXPECT_EQ(exported, QStringList{QStringLiteral("SA")}) << "one opening, the first";
    EXPECT_EQ(window().page(), 2);
    EXPECT_EQ(window().openedExam().patientName, QStringLiteral("ALPHA ANNE"));
    EXPECT_EQ(page2().patientNameLabel->text(), QStringLiteral("ALPHA ANNE"));
    ASSERT_EQ(window().sets.examImages.count(), 3);
    EXPECT_EQ(window().sets.examImages.fieldText(QStringLiteral("SeriesInst")), QStringLiteral("SA"));
    EXPECT_TRUE(started_.dialogs.messages.empty());
}

TEST_F(ActionInput, PrintingTheExamMarksItsImagesOnlyAndRefusesEverySecondStart)
{
    open(QStringLiteral("SA"));
    int printStarts = 0;
    int dayLists = 0;
    QStringList pages;
    std::unique_ptr<WorkPause> pause;
    window().actions.runDayList = [&] { ++dayLists; };
    window().actions.printExam = [&](const Exam& exam, bool automatic) {
        ++printStarts;
        PrintActions printing(window().sets, &window());
        printing.printPage = [&](const PrintActions::Page& page) {
            pages << page.imagePath;
            pause->pause();
            return true;
        };
        if (automatic)
            printing.printExamAutomatically(exam);
    };
    pause = std::make_unique<WorkPause>([&] {
        click(page2().closeExamButton);
        click(page2().printExamButton, Qt::RightButton); // the same print again
        click(window().toolsPage->dayListButton);
        emit window().monitorTimer.timeout({});
        window().sets.seriesByDate.findFirst(QStringLiteral("SeriesInst = 'SB'"));
        window().openExamFromList(ExamList::ByDate);
    });
    click(page2().printExamButton, Qt::RightButton);

    ASSERT_TRUE(pause->delivered());
    EXPECT_EQ(printStarts, 1);
    EXPECT_EQ(dayLists, 0);
    EXPECT_EQ(pages.size(), 3);
    EXPECT_EQ(printedOf(QStringLiteral("SA")), 3);
    EXPECT_EQ(printedOf(QStringLiteral("SB")), 0);
    EXPECT_EQ(window().openedExam().seriesUid, QStringLiteral("SA"));
    EXPECT_EQ(window().page(), 2);
    EXPECT_EQ(gridPrinted(), QStringList({"Oui", "Oui", "Oui"})) << "page 2 read again";
    EXPECT_FALSE(window().actionRunning());
}

TEST_F(ActionInput, PageTwoReadsItsImagesAgainAfterAnythingMarksThemPrinted)
{
    open(QStringLiteral("SA"));
    // Each marks the first image printed through a connection of its own, as
    // the print sheet, the day list's viewer or the new-images sheet do.
    auto markFirst = [this] {
        pacs_.exec(QStringLiteral("UPDATE DICOMImages SET Printed = -1 WHERE SOPInstanc = 'SA.0'"));
    };
    window().actions.openPrintSheet = [&](const Exam&) { markFirst(); };
    window().actions.runDayList = markFirst;
    window().actions.printNewImages = [&](const Exam&) { markFirst(); };
    const std::vector<std::pair<const char*, std::function<void()>>> starts = {
        {"print sheet (F11)", [this] { window().printSheetAction(); }},
        {"day list", [this] { click(window().toolsPage->dayListButton); }},
        {"images to print", [this] { click(window().imagesToPrintButton); }},
    };
    for (const auto& [what, start] : starts) {
        SCOPED_TRACE(what);
        pacs_.exec(QStringLiteral("UPDATE DICOMImages SET Printed = 0"));
        window().sets.examImages.requery();
        window().sets.examImages.goTo(2);
        start();
        EXPECT_EQ(gridPrinted(), QStringList({"Oui", "Non", "Non"}));
        EXPECT_EQ(window().sets.examImages.currentRow(), 2) << "the same image stays selected";
    }
}

TEST_F(ActionInput, AnExamDeletedOnAnotherWorkstationIsRefusedByEveryAction)
{
    open(QStringLiteral("SA"));
    window().show();
    // Station 1 deletes the exam shown here, then Conquest stores a new series.
    pacs_.exec(QStringLiteral("DELETE FROM DICOMImages WHERE SeriesInst = 'SA'"));
    pacs_.exec(QStringLiteral("DELETE FROM DICOMSeries WHERE SeriesInst = 'SA'"));
    pacs_.addPatient(QStringLiteral("PN"), QStringLiteral("NOUVEAU^NINA"));
    pacs_.addSeries(QStringLiteral("SN"), QStringLiteral("PN"), examDay);
    pacs_.addImages(QStringLiteral("SN"), QStringLiteral("PN"), examDay, 2);
    window().monitorTick();

    QStringList reached;
    window().actions.openReport = [&](ReportOpening, const Exam&) { reached << QStringLiteral("report"); };
    window().actions.printExam = [&](const Exam& exam, bool) {
        PrintActions printing(window().sets, &window());
        printing.printPage = [&](const PrintActions::Page&) {
            reached << QStringLiteral("page");
            return true;
        };
        printing.printExamAutomatically(exam);
    };
    window().actions.openPrintSheet = [&](const Exam& exam) {
        PrintActions printing(window().sets, &window());
        printing.runWindow = [&](QDialog&) {
            reached << QStringLiteral("sheet");
            return 0;
        };
        printing.openPrintSheet(exam);
    };
    window().sets.examImages.goTo(1);
    struct Case {
        const char* what;
        std::function<void()> act;
        bool asksFirst; // the deletion's question comes before the check
    };
    const std::vector<Case> cases = {
        {"mark burned", [this] { click(page2().markBurnedButton); }, false},
        {"print exam", [this] { click(page2().printExamButton, Qt::RightButton); }, false},
        {"print sheet", [this] { window().printSheetAction(); }, false},
        {"report", [this] { click(page2().examReportButton); }, false},
        {"delete exam", [this] { click(page2().deleteExamButton); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        started_.dialogs.messages.clear();
        if (c.asksFirst)
            started_.dialogs.answerMessage(MsgResult::Yes);
        c.act();
        ASSERT_FALSE(started_.dialogs.messages.empty());
        EXPECT_EQ(started_.dialogs.messages.back().text, examDeletedElsewhereText());
    }
    EXPECT_TRUE(reached.isEmpty());
    RecordSet newSeries;
    newSeries.setDatabasePath(pacs_.databasePath());
    newSeries.setRecordSource(QStringLiteral("SELECT * FROM DICOMSeries WHERE SeriesInst = 'SN'"));
    ASSERT_TRUE(newSeries.requery());
    ASSERT_EQ(newSeries.count(), 1) << "the new series is not deleted";
    EXPECT_FALSE(newSeries.fieldBool(QStringLiteral("Burned")));
    EXPECT_EQ(printedOf(QStringLiteral("SN")), 0);
}

} // namespace
