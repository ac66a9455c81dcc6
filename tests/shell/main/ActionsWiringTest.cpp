// The main window's actions as the user reaches them: every button, key and
// menu entry of the exam and tools pages reaching its action with the
// window's own steps around it, the pointer modes of the print and view
// buttons, deleting the exam back to page 1, the worklist's patient, another
// database applied from the options, and the window on the screen's free area.
#include "PacsFixture.h"

#include "base/core/AppValues.h"
#include "base/core/Settings.h"
#include "browser/ExamPage.h"
#include "browser/SearchPage.h"
#include "browser/ToolsPage.h"
#include "browser/actions/ExamActions.h"
#include "pacsdb/RecordSet.h"
#include "shell/main/OptionsDialog.h"

#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::test;

namespace {

const QDate examDay(2024, 3, 5);

void click(QWidget* widget, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers modifiers = {})
{
    const QPointF at(3, 3);
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), button, button, modifiers);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), button, {}, modifiers);
    QApplication::sendEvent(widget, &release);
}

void key(QWidget* target, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

class ActionsWiring : public ::testing::Test {
protected:
    void SetUp() override
    {
        pacs_.addPatient(QStringLiteral("PX7"), QStringLiteral("NEAR^NAMESAKE"));
        pacs_.addPatient(QStringLiteral("P_7"), QStringLiteral("ROUX^ANNE"));
        pacs_.addSeries(QStringLiteral("S7"), QStringLiteral("P_7"), examDay, QStringLiteral("ST7"));
        pacs_.exec(QStringLiteral("INSERT INTO DICOMStudies (StudyInsta, PatientID) VALUES ('ST7', 'P_7')"));
        images_ = pacs_.addImages(QStringLiteral("S7"), QStringLiteral("P_7"), examDay, 3);
        pacs_.addSeries(QStringLiteral("S8"), QStringLiteral("PX7"), examDay.addDays(-1));
        pacs_.configure();
        ASSERT_EQ(started_.start(), StartupOutcome::Run);
        appValues().fujiCheminNetpix = QStringLiteral("/netpix/");
        openExam();
        recordEveryAction();
    }

    void openExam()
    {
        SearchPage& page1 = *window().searchPage;
        page1.setDays(examDay, examDay);
        window().sets.seriesByDate.findFirst(QStringLiteral("SeriesInst = 'S7'"));
        window().openExamFromList(ExamList::ByDate);
        ASSERT_EQ(window().page(), 2);
    }

    // Each action records its name and whether the monitor was paused then.
    void recordEveryAction()
    {
        MainWindowActions& a = window().actions;
        auto note = [this](const QString& name) {
            reached_ << name;
            pausedWhenReached_ << (window().surveyInterval() == 0);
        };
        auto noteExam = [=, this](const QString& name, const Exam& exam) {
            note(name);
            examsGiven_ << exam.seriesUid;
        };
        a.printExam = [=](const Exam& exam, bool automatic) {
            noteExam(automatic ? "printExam automatic" : "printExam asking", exam);
        };
        a.openInterpretation = [=](const Exam& exam) { noteExam("openInterpretation", exam); };
        a.openPrintSheet = [=](const Exam& exam) { noteExam("openPrintSheet", exam); };
        a.printNewImages = [=](const Exam& opened) { noteExam("printNewImages", opened); };
        a.printLabels = [=](const Exam& exam, int count) {
            noteExam(QStringLiteral("printLabels %1").arg(count), exam);
        };
        a.runDayList = [=] { note("runDayList"); };
        a.burnExam = [=](const Exam& exam) {
            noteExam("burnExam", exam);
            return false;
        };
        a.runWorklist = [=, this](const RecordSet& identities) {
            note("runWorklist");
            worklistPatient_
                = identities.count() ? identities.fieldText(QStringLiteral("PatientID")) : "<none>";
        };
        a.deleteSelectedImage = [=](const Exam& exam) {
            noteExam("deleteSelectedImage", exam);
            return false;
        };
        a.deleteExam = [=](const Exam& exam) {
            noteExam("deleteExam", exam);
            return false;
        };
        a.openHelp = [=] { note("openHelp"); };
        a.update = [=] { note("update"); };
        a.openReport = [=](ReportOpening opening, const Exam& exam) {
            noteExam(QStringLiteral("openReport %1").arg(int(opening)), exam);
        };
    }

    MainWindow& window() { return started_.window; }

    QTemporaryDir locks_;
    PacsFixture pacs_;
    StartedWindow started_{locks_.path()};
    QStringList images_;
    QStringList reached_;
    QList<bool> pausedWhenReached_;
    QStringList examsGiven_; // the series of the exam each exam action was given
    QString worklistPatient_;
};

TEST_F(ActionsWiring, EveryButtonKeyAndMenuEntryReachesItsAction)
{
    ExamPage& exam = *window().examPage;
    ToolsPage& tools = *window().toolsPage;
    QMenu& menu = *window().popupMenu;
    auto menuEntry = [&menu](const char* name) {
        return [&menu, name] { menu.findChild<QAction*>(QString::fromLatin1(name))->trigger(); };
    };
    struct Case {
        const char* what;
        std::function<void()> trigger;
        QString action;
    };
    const std::vector<Case> cases = {
        {"print exam", [&] { click(exam.printExamButton); }, "printExam asking"},
        {"one label", [&] { click(exam.printLabelButton); }, "printLabels 1"},
        {"burn", [&] { click(exam.burnExamButton); }, "burnExam"},
        {"F12", [&] { key(exam.imageGrid, Qt::Key_F12); }, "burnExam"},
        {"F10", [&] { key(exam.imageGrid, Qt::Key_F10); }, "openInterpretation"},
        {"F11", [&] { key(exam.imageGrid, Qt::Key_F11); }, "openPrintSheet"},
        {"exam report", [&] { click(exam.examReportButton); }, "openReport 0"},
        {"delete image", [&] { click(exam.deleteImageButton); }, "deleteSelectedImage"},
        {"delete exam", [&] { click(exam.deleteExamButton); }, "deleteExam"},
        {"images to print", [&] { click(window().imagesToPrintButton); }, "printNewImages"},
        {"day list", [&] { click(tools.dayListButton); }, "runDayList"},
        {"menu Outils", menuEntry("mnuOutils"), "runDayList"},
        {"template", [&] { click(tools.reportTemplateButton); }, "openReport 1"},
        {"letterhead", [&] { click(tools.letterheadButton); }, "openReport 2"},
        {"worklist", [&] { click(tools.worklistButton); }, "runWorklist"},
        {"update", [&] { click(tools.updateButton); }, "update"},
        {"help", [&] { click(tools.helpButton); }, "openHelp"},
        {"F1", [&] { key(exam.imageGrid, Qt::Key_F1); }, "openHelp"},
        {"menu help", menuEntry("mnuHelp"), "openHelp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        reached_.clear();
        pausedWhenReached_.clear();
        examsGiven_.clear();
        c.trigger();
        ASSERT_EQ(reached_, QStringList{c.action});
        EXPECT_EQ(window().page(), 2) << "the exam stays open";
        // Every exam action gets the opened exam; the tools get it or none.
        for (const QString& given : examsGiven_)
            EXPECT_TRUE(
                given == QStringLiteral("S7") || (given.isEmpty() && c.action.startsWith("openReport ")))
                << given.toStdString();
    }
    for (brixel::Button* inert : {tools.archiveDvdButton, tools.backupButton, tools.enablePrintingButton}) {
        reached_.clear();
        click(inert);
        EXPECT_TRUE(reached_.isEmpty());
    }
    EXPECT_TRUE(menu.findChild<QAction*>(QStringLiteral("mnuHelp"))->isEnabled());

    // From page 1, where the monitor runs, these rest it while they run.
    window().selectPage(1);
    for (const auto& trigger : std::vector<std::function<void()>>{
             [&] { click(window().imagesToPrintButton); }, menuEntry("mnuOutils"),
             [&] { click(tools.dayListButton); }, [&] { click(tools.worklistButton); }}) {
        ASSERT_EQ(window().surveyInterval(), appValues().monitorInterval);
        pausedWhenReached_.clear();
        trigger();
        EXPECT_EQ(pausedWhenReached_, QList<bool>{true});
        EXPECT_EQ(window().surveyInterval(), appValues().monitorInterval);
    }

    click(exam.closeExamButton);
    EXPECT_EQ(window().page(), 1);
    EXPECT_FALSE(window().openedExam().isValid());
}

TEST_F(ActionsWiring, RightClickAndCtrlClickChooseTheAutomaticPrintAndThePreview)
{
    ExamPage& exam = *window().examPage;
    struct Case {
        brixel::Button* button;
        Qt::MouseButton mouse;
        Qt::KeyboardModifiers modifiers;
        QString action;
    };
    const std::vector<Case> cases = {
        {exam.printExamButton, Qt::LeftButton, Qt::NoModifier, "printExam asking"},
        {exam.printExamButton, Qt::LeftButton, Qt::ControlModifier, "printExam automatic"},
        {exam.printExamButton, Qt::RightButton, Qt::NoModifier, "printExam automatic"},
        {exam.printExamButton, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, "printExam asking"},
        {exam.viewExamButton, Qt::LeftButton, Qt::ControlModifier, "openInterpretation"},
        {exam.viewExamButton, Qt::RightButton, Qt::NoModifier, "openInterpretation"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action.toStdString() + " " + c.button->objectName().toStdString());
        reached_.clear();
        click(c.button, c.mouse, c.modifiers);
        EXPECT_EQ(reached_, QStringList{c.action}) << "one action per click";
        EXPECT_FALSE(window().rightClickMode()) << "cleared when the action ends";
    }
}

TEST_F(ActionsWiring, DeletingTheExamShowsPageOneWithoutIt)
{
    window().actions.deleteExam = [this](const Exam& exam) {
        ExamActions deleting(window().sets, &window());
        deleting.now = [] { return QDateTime::currentDateTime().addSecs(60); }; // Conquest is done
        return deleting.deleteExam(exam);
    };
    started_.dialogs.answerMessage(MsgResult::Yes);
    click(window().examPage->deleteExamButton);

    EXPECT_EQ(window().page(), 1);
    EXPECT_FALSE(window().openedExam().isValid());
    EXPECT_EQ(window().sets.seriesByDate.count(), 0) << "the date list no longer shows it";
    EXPECT_FALSE(window().sets.notBurnedSeries.findFirst(QStringLiteral("SeriesInst = 'S7'")));
    EXPECT_TRUE(window().sets.notBurnedSeries.findFirst(QStringLiteral("SeriesInst = 'S8'")));
    EXPECT_EQ(window().surveyInterval(), appValues().monitorInterval);
}

TEST_F(ActionsWiring, MarkingEveryExamBurnedEmptiesTheRecentList)
{
    started_.dialogs.answerMessage(MsgResult::Yes);
    click(window().toolsPage->markAllBurnedButton);
    EXPECT_EQ(window().sets.notBurnedSeries.count(), 0);
    EXPECT_EQ(window().noticeLabel->text(), QStringLiteral("Il n'y a pas de nouveau dossier à traiter"));
    EXPECT_EQ(window().surveyInterval(), 0) << "the exam page keeps the monitor at rest";
}

TEST_F(ActionsWiring, TheWorklistStartsFromThePatientListsCurrentSeries)
{
    SearchPage& page1 = *window().searchPage;
    page1.searchByPatient(QStringLiteral("NEAR"));
    ASSERT_EQ(window().sets.seriesByPatient.count(), 1);
    struct Case {
        const char* what;
        std::function<void()> before;
        QString patient;
    };
    const std::vector<Case> cases = {
        // The opened exam is P_7's, the list's is PX7's ("P_7" as a pattern
        // would also match "PX7").
        {"an opened exam, a patient found", [] {}, "PX7"},
        {"no exam, a patient found", [&] { click(window().examPage->closeExamButton); }, "PX7"},
        {"the list on P_7's series", [&] { page1.searchByPatient(QStringLiteral("ROUX")); }, "P_7"},
        {"nothing", [&] { page1.searchByPatient(QStringLiteral("NOBODY")); }, "<none>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.before();
        worklistPatient_.clear();
        window().worklistAction();
        EXPECT_EQ(worklistPatient_, c.patient);
    }
    appValues().fujiCheminNetpix.clear();
    reached_.clear();
    window().worklistAction();
    EXPECT_TRUE(reached_.isEmpty());
    ASSERT_FALSE(started_.dialogs.messages.empty());
    EXPECT_EQ(started_.dialogs.messages.back().text,
        QStringLiteral("La configuration de la WorkList n'est pas correcte. Veuillez vérifier"));
}

TEST_F(ActionsWiring, ApplyingAnotherDatabaseMovesEveryListToIt)
{
    PacsFixture other; // makes its own settings file current: the program's comes back
    setSettingsFile(pacs_.settingsPath());
    other.addPatient(QStringLiteral("Q1"), QStringLiteral("AUTRE^BASE"));
    other.addSeries(QStringLiteral("T1"), QStringLiteral("Q1"), QDate::currentDate());
    auto applyDatabase = [this](const QString& path) {
        window().showOptionsDialog = [this, path] {
            OptionsDialog options(&window());
            options.databasePathEdit->setText(path);
            options.apply();
        };
        window().openOptions();
    };

    applyDatabase(QStringLiteral("/nonexistent/folder/conquest.db3"));
    ASSERT_FALSE(started_.dialogs.messages.empty()) << "the user is told";
    EXPECT_EQ(window().databasePath(), pacs_.databasePath());
    EXPECT_EQ(appValues().conquestPath, pacs_.databasePath()) << "nothing written elsewhere";
    EXPECT_EQ(window().page(), 2);

    applyDatabase(other.databasePath());
    EXPECT_EQ(window().databasePath(), other.databasePath());
    MainRecordSets& sets = window().sets;
    for (const RecordSet* set : {&sets.seriesByDate, &sets.seriesByPatient, &sets.notBurnedSeries,
             &sets.examImages, &sets.examSeries, &sets.examStudy, &sets.workSet, &sets.patientLookup})
        EXPECT_EQ(set->databasePath(), other.databasePath()) << set->name().toStdString();
    EXPECT_EQ(window().page(), 1);
    EXPECT_FALSE(window().openedExam().isValid()) << "the exam of the other database is closed";
    EXPECT_EQ(sets.examImages.count(), 0);
    EXPECT_EQ(window().examPage->thumbnailSlots[0]->tag(), QString());
    ASSERT_EQ(sets.notBurnedSeries.count(), 1);
    EXPECT_EQ(sets.notBurnedSeries.fieldText(QStringLiteral("SeriesInst")), QStringLiteral("T1"));
    ASSERT_EQ(sets.seriesByDate.count(), 1) << "today's list read from the new database";
    EXPECT_EQ(window().surveyInterval(), appValues().monitorInterval);
}

using FrameOnScreen = StartedOnPacs;

TEST_F(FrameOnScreen, TheWindowCoversItsScreenLessThePanels)
{
    MainWindow& window = started_.window;
    window.show();
    // A top bar and a bottom dock on the window's own screen.
    const QRect betweenPanels(0, 28, 1920, 1000);
    window.screenArea = [&](const QScreen* screen) {
        EXPECT_EQ(screen, window.screen());
        return betweenPanels;
    };
    window.relayout();
    EXPECT_EQ(window.geometry(), betweenPanels);
}

} // namespace
