// The day list window on a generated PACS (SQLite and PostgreSQL): the day's
// images, the viewer opened on one of them, its printed mark written on the
// right image, and the database and print messages.
#include "printing/daylist/DayListWindow.h"
#include "PacsTestDb.h"
#include "ScriptedDialogService.h"
#include "base/core/AppValues.h"
#include "base/core/DialogService.h"
#include "browser/BoundGrid.h"
#include "pacsdb/ExamChecks.h"
#include "pacsdb/ExamNaming.h"
#include "pacsdb/MainRecordSets.h"
#include "pacsdb/PacsUpgrade.h"

#include <brixel/Button.h>

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace vexa;
using namespace vexa::test;

namespace {

const QDate ExamDay(2024, 3, 5);
const QString ImageRoot = QStringLiteral("/srv/pacs/data/");

QString stamp(const QDate& day)
{
    return day.toString(QStringLiteral("yyyyMMdd"));
}

class DayListWindowTest : public BackendTest {
protected:
    void SetUp() override
    {
        BackendTest::SetUp();
        ASSERT_EQ(openAndUpgrade(pacs().path()), QString());
        appValues().conquestPath = pacs().path();
        appValues().conquestImagePath = ImageRoot;
        pacs().insertPatient(QStringLiteral("P1"), QStringLiteral("MARTIN^LUC"));
        pacs().insertSeries(QStringLiteral("S1"), QStringLiteral("P1"), stamp(ExamDay));
        pacs().insertImage(QStringLiteral("I1"), QStringLiteral("S1"), QStringLiteral("P1"), stamp(ExamDay));
        pacs().insertImage(QStringLiteral("I2"), QStringLiteral("S1"), QStringLiteral("P1"), stamp(ExamDay));
        pacs().insertPatient(QStringLiteral("P2"), QStringLiteral("DURAND^ANNE"));
        pacs().insertSeries(QStringLiteral("S2"), QStringLiteral("P2"), stamp(QDate::currentDate()));
        pacs().insertImage(
            QStringLiteral("T1"), QStringLiteral("S2"), QStringLiteral("P2"), stamp(QDate::currentDate()));
        name();
    }

    // The naming pass, as the monitor runs it: names and dates the new rows.
    void name() { ASSERT_EQ(nameNewRows(sets_, pacs().path()), QString()); }

    QStringList column(DayListWindow& window, int column)
    {
        QStringList values;
        for (int row = 0; row < window.grid->model()->rowCount(); ++row)
            values << window.grid->model()->index(row, column).data().toString();
        return values;
    }

    std::pair<QVariant, QVariant> printMark(const QString& sop)
    {
        const QString where = QStringLiteral(" FROM DICOMImages WHERE SOPInstanc = '%1'").arg(sop);
        return {pacs().scalar(QStringLiteral("SELECT Printed") + where),
            pacs().scalar(QStringLiteral("SELECT PrintDate") + where)};
    }

    ScriptedDialogService dialogs_;
    MainRecordSets sets_;
};

TEST_P(DayListWindowTest, OpensOnTodaysImagesAndAnEmptyDayHidesViewing)
{
    DayListWindow window;
    window.show();
    EXPECT_EQ(window.size(), QSize(695, 455)) << "the frame and 225 twips";
    EXPECT_EQ(window.calendar->selectedDate(), QDate::currentDate());
    EXPECT_EQ(window.titleLabel->text(),
        QStringLiteral("Journée du ") + QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
    EXPECT_EQ(column(window, 0), QStringList({QStringLiteral("DURAND ANNE")})) << "today's images at once";
    EXPECT_EQ(column(window, 2), QStringList({QStringLiteral("Non")}));
    EXPECT_EQ(window.grid->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Fichier"));
    EXPECT_EQ(window.grid->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Imprimé"));
    EXPECT_TRUE(window.viewButton->isVisible());

    window.showDay(QDate(2024, 3, 6));
    EXPECT_EQ(window.grid->model()->rowCount(), 0);
    EXPECT_FALSE(window.viewButton->isVisible());
    EXPECT_EQ(window.titleLabel->text(), QStringLiteral("Journée du 06/03/2024"));

    window.showDay(ExamDay);
    EXPECT_EQ(column(window, 1), QStringList({QStringLiteral("P1/I1.v2"), QStringLiteral("P1/I2.v2")}));
    EXPECT_TRUE(window.viewButton->isVisible());
    EXPECT_TRUE(dialogs_.messages.empty());

    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

TEST_P(DayListWindowTest, ViewerGetsTheImageDateAndPrintingMarksThatImageByItsKey)
{
    DayListWindow window;
    window.show();
    window.showDay(ExamDay);
    window.grid->setFocus();
    window.images.goTo(1); // I2
    ViewerRequest seen;
    bool topmostMeanwhile = true;
    window.runViewer = [&](const ViewerRequest& request) {
        seen = request;
        topmostMeanwhile = window.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        return ViewerOutcome{};
    };
    QTest::keyClick(window.grid, Qt::Key_Return);
    EXPECT_EQ(seen.exam.examDate, QStringLiteral("05/03/2024")) << "AcqDate empty: ImageDate";
    EXPECT_EQ(seen.exam.patientName, QStringLiteral("MARTIN LUC"));
    EXPECT_EQ(seen.exam.seriesUid, QStringLiteral("S1"));
    EXPECT_EQ(seen.imagePath, ImageRoot + QStringLiteral("P1/I2.v2"));
    EXPECT_EQ(seen.start, ViewerRequest::Start::SingleFile) << "one image alone";
    EXPECT_FALSE(topmostMeanwhile);
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint)) << "topmost again afterwards";
    EXPECT_FALSE(window.waitPanel->isVisible());
    EXPECT_FALSE(printMark(QStringLiteral("I2")).first.toBool()) << "not printed: nothing written";
    EXPECT_TRUE(printMark(QStringLiteral("I2")).second.isNull());

    // While the viewer prints, another workstation adds images that sort
    // before the viewed one and the list is read again.
    window.runViewer = [&](const ViewerRequest&) {
        pacs().insertPatient(QStringLiteral("P0"), QStringLiteral("ABEL^ZOE"));
        pacs().insertSeries(QStringLiteral("S0"), QStringLiteral("P0"), stamp(ExamDay));
        pacs().insertImage(QStringLiteral("A1"), QStringLiteral("S0"), QStringLiteral("P0"), stamp(ExamDay));
        pacs().insertImage(QStringLiteral("I3"), QStringLiteral("S1"), QStringLiteral("P1"), stamp(ExamDay));
        name();
        window.showDay(ExamDay);
        return ViewerOutcome{true, false};
    };
    window.viewImage();
    for (const char* other : {"A1", "I1", "I3"})
        EXPECT_FALSE(printMark(QString::fromLatin1(other)).first.toBool()) << other;
    const auto [printed, printDate] = printMark(QStringLiteral("I2"));
    EXPECT_TRUE(printed.toBool());
    EXPECT_EQ(printDate.toDate().isValid() ? printDate.toDate()
                                           : QDate::fromString(printDate.toString().left(10), Qt::ISODate),
        QDate::currentDate());
    EXPECT_EQ(window.images.fieldText(QStringLiteral("SOPInstanc")), QStringLiteral("I2"))
        << "the viewed image stays current";
    EXPECT_EQ(column(window, 2), QStringList({"Non", "Non", "Oui", "Non"}));
}

TEST_P(DayListWindowTest, WhileTheViewerRunsASecondViewIsRefusedAndAnImageDeletedElsewhereIsNotMarked)
{
    DayListWindow window;
    window.show();
    window.showDay(ExamDay);
    window.images.goTo(0); // I1
    QStringList viewed;
    window.runViewer = [&](const ViewerRequest& request) {
        viewed << request.imagePath;
        // Input meanwhile: the view button again, Enter in the list, another day.
        QTest::mouseClick(window.viewButton, Qt::LeftButton);
        QTest::keyClick(window.grid, Qt::Key_Return);
        window.showDay(QDate::currentDate());
        // Another workstation deletes the image being viewed.
        pacs().exec(QStringLiteral("DELETE FROM DICOMImages WHERE SOPInstanc = 'I1'"));
        return ViewerOutcome{true, false};
    };
    window.viewImage();

    EXPECT_EQ(viewed, QStringList{ImageRoot + QStringLiteral("P1/I1.v2")}) << "one viewer at a time";
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text, examDeletedElsewhereText());
    EXPECT_EQ(pacs().scalar(QStringLiteral("SELECT COUNT(*) FROM DICOMImages WHERE Printed <> 0")).toInt(), 0)
        << "nothing marked in its place";
}

TEST_P(DayListWindowTest, BrokenDatabaseGivesTheDatabaseMessage)
{
    appValues().conquestPath = QStringLiteral("/nonexistent/folder/conquest.db");
    DayListWindow window;
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text,
        QStringLiteral("La base de donnée n'est pas correctement initialisée ! \r\n"
                       "Vérifier le serveur PACS Conquest ! "));
    EXPECT_EQ(dialogs_.messages[0].title, QStringLiteral("Erreur..."));
    EXPECT_EQ(dialogs_.messages[0].icon, MsgIcon::Critical);
    EXPECT_EQ(window.grid->model()->rowCount(), 0);
}

TEST_P(DayListWindowTest, PrintAndQuitOnlyWhenImagesWait)
{
    pacs().exec(QStringLiteral("UPDATE DICOMImages SET Printed = -1"));
    DayListWindow window;
    window.show();
    window.printAndQuit();
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text, QStringLiteral("Il n'y a pas d'image à imprimer"));
    EXPECT_EQ(dialogs_.messages[0].title, QStringLiteral("Impression..."));
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.printUnprintedAsked());

    // An image of another day waiting does not count: the print is of the day's.
    pacs().exec(QStringLiteral("UPDATE DICOMImages SET Printed = 0 WHERE SOPInstanc = 'I1'"));
    dialogs_.answerMessage(MsgResult::Ok);
    window.printAndQuit();
    EXPECT_EQ(dialogs_.messages.size(), 2u);
    EXPECT_TRUE(window.isVisible());

    pacs().exec(QStringLiteral("UPDATE DICOMImages SET Printed = 0 WHERE SOPInstanc = 'T1'"));
    window.printAndQuit();
    EXPECT_EQ(dialogs_.messages.size(), 2u);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.printUnprintedAsked());
}

// "Configurer...." opens the options over the list, which stays in its own
// modal loop and takes the input again afterwards.
TEST_P(DayListWindowTest, OptionsAndAboutAreTheOpenersWindowsAndTheListStaysOpen)
{
    DayListWindow window;
    bool shownDuringOptions = false;
    bool topmostDuringOptions = true;
    int about = 0;
    window.showOptions = [&] {
        shownDuringOptions = window.isVisible();
        topmostDuringOptions = window.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    };
    window.showAbout = [&] { ++about; };
    bool listStillRunning = false;
    QTimer::singleShot(0, &window, [&] {
        QTest::mouseClick(window.optionsButton, Qt::LeftButton);
        QTest::mouseClick(window.aboutButton, Qt::LeftButton);
        // Reached only while the list's own loop still runs.
        QTimer::singleShot(0, &window, [&] {
            listStillRunning = window.isVisible();
            QTest::mouseClick(window.quitButton, Qt::LeftButton);
        });
    });
    window.exec();
    EXPECT_TRUE(shownDuringOptions);
    EXPECT_FALSE(topmostDuringOptions) << "the options window goes above the list";
    EXPECT_TRUE(listStillRunning) << "the list came back after the options";
    EXPECT_EQ(about, 1);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.printUnprintedAsked());
}

// Whatever changes the calendar's day, the list shows that day: the keys, a
// click, another month shown.
TEST_P(DayListWindowTest, ListFollowsTheCalendarHoweverTheDayChanges)
{
    DayListWindow window;
    window.show();
    QCalendarWidget* calendar = window.calendar;
    calendar->setSelectedDate(ExamDay.addDays(1));
    calendar->setFocus();
    QTest::keyClick(calendar->findChild<QAbstractItemView*>(), Qt::Key_Left);
    EXPECT_EQ(calendar->selectedDate(), ExamDay);
    EXPECT_EQ(window.titleLabel->text(), QStringLiteral("Journée du 05/03/2024"));
    EXPECT_EQ(column(window, 1), QStringList({QStringLiteral("P1/I1.v2"), QStringLiteral("P1/I2.v2")}));

    calendar->showNextMonth(); // the arrow over the calendar
    EXPECT_EQ(calendar->selectedDate(), QDate(2024, 4, 5));
    EXPECT_EQ(window.titleLabel->text(), QStringLiteral("Journée du 05/04/2024"));
    EXPECT_EQ(window.grid->model()->rowCount(), 0);
    calendar->setCurrentPage(2024, 3);
    EXPECT_EQ(calendar->selectedDate(), ExamDay);
    EXPECT_EQ(window.grid->model()->rowCount(), 2);

    // The last day of a longer month lands on the last day of a shorter one.
    calendar->setSelectedDate(QDate(2024, 1, 31));
    calendar->showNextMonth();
    EXPECT_EQ(calendar->selectedDate(), QDate(2024, 2, 29));
    EXPECT_EQ(window.titleLabel->text(), QStringLiteral("Journée du 29/02/2024"));
    EXPECT_TRUE(dialogs_.messages.empty());
}

VEXA_BACKENDS(DayListWindowTest);

} // namespace
