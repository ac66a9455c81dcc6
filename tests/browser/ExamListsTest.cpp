// The lists of page 1 as users work with them, on a generated database: the
// columns that tell one patient's exams apart, sorting, the patient search
// by any word, its outcomes, and the user's row kept when a new exam comes.
#include "PacsFixture.h"

#include "browser/ExamLists.h"
#include "browser/ExamOpening.h"
#include "browser/SearchPage.h"
#include "pacsdb/QueryCatalogue.h"

#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::test;

namespace {

const QDate examDay(2024, 1, 10);

// A few patients of the days before, then seven exams of one patient on
// one day.
class ExamListsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* names[] = {"DUPONT^JEAN", "Dubois^Marie", "ŒUVRAY^ÉLISE"};
        for (int i = 0; i < 3; ++i) {
            const QString id = QStringLiteral("P%1").arg(i);
            pacs_.addPatient(id, QString::fromUtf8(names[i]));
            pacs_.addSeries(QStringLiteral("S%1").arg(i), id, examDay.addDays(-1 - i));
        }
        pacs_.addPatient(QStringLiteral("P7"), QStringLiteral("LEFÈVRE^JEAN-MARC"));
        pacs_.exec(QStringLiteral("UPDATE DICOMPatients SET PatientBir = '19520704' WHERE PatientID = 'P7'"));
        pacs_.exec(QStringLiteral("INSERT INTO DICOMStudies (StudyInsta, StudyDescr, StudyTime) "
                                  "VALUES ('ST7', 'BILAN TRAUMA', '073000')"));
        const struct {
            const char* time;
            const char* modality;
            const char* description;
        } exams[] = {{"081500", "CR", "THORAX FACE"}, {"081700", "CR", "THORAX PROFIL"},
            {"090000", "CT", "CRANE"}, {"091000", "CT", "RACHIS CERVICAL"}, {"", "US", "ABDOMEN"},
            {"103000", "MR", ""}, {"110000", "DX", "GENOU G"}};
        for (int i = 0; i < 7; ++i) {
            const QString uid = QStringLiteral("S7-%1").arg(i);
            pacs_.addSeries(uid, QStringLiteral("P7"), examDay, QStringLiteral("ST7"));
            pacs_.exec(QStringLiteral("UPDATE DICOMSeries SET SeriesTime = '%1', Modality = '%2', "
                                      "SeriesDesc = '%3' WHERE SeriesInst = '%4'")
                           .arg(QLatin1String(exams[i].time), QLatin1String(exams[i].modality),
                               QLatin1String(exams[i].description), uid));
        }
        pacs_.configure();
        ASSERT_EQ(started_.start(), StartupOutcome::Run);
        started_.window.resize(1600, 900);
        started_.window.show();
        page().setDays(examDay.addDays(-5), examDay);
    }

    SearchPage& page() { return *started_.window.searchPage; }
    BoundGrid& grid(int list)
    {
        const char* names[] = {"dateList", "patientList", "notBurnedList"};
        return *page().findChild<BoundGrid*>(QLatin1String(names[list]));
    }
    QLineEdit* patientNameEdit() { return page().findChild<QLineEdit*>(QStringLiteral("patientNameEdit")); }
    QString cell(int list, int row, int column)
    {
        return grid(list).model()->index(row, column).data().toString();
    }
    QStringList row(int list, int gridRow)
    {
        QStringList cells;
        for (int c = 0; c < grid(list).model()->columnCount(); ++c)
            cells << cell(list, gridRow, c);
        return cells;
    }
    void clickRow(int list, int gridRow)
    {
        QTableView& view = grid(list);
        const QRect rect = view.visualRect(view.model()->index(gridRow, 1));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, rect.center());
    }

    QTemporaryDir locks_;
    PacsFixture pacs_;
    StartedWindow started_{locks_.path()};
};

} // namespace

TEST_F(ExamListsTest, DateListTellsOnePatientsExamsApartNewestFirst)
{
    ASSERT_EQ(page().seriesCountText(), QStringLiteral("10 dossiers."));
    QStringList headings;
    for (int c = 0; c < 8; ++c)
        headings << grid(0).model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(headings,
        QStringList({"Nom", "Date", "Gravé", "Heure", "Modalité", "Description", "ID patient", "Né(e) le"}));
    // Newest first; a series without a time or a description reads its study's.
    EXPECT_EQ(row(0, 0).mid(0, 8),
        QStringList({QStringLiteral("LEFÈVRE JEAN-MARC"), "10/01/2024", "Non", "11:00", "DX", "GENOU G", "P7",
            "04/07/1952"}));
    EXPECT_EQ(row(0, 1).mid(3, 3), QStringList({"10:30", "MR", "BILAN TRAUMA"}));
    EXPECT_EQ(row(0, 2).mid(3, 3), QStringList({"07:30", "US", "ABDOMEN"}));
    EXPECT_EQ(row(0, 6).mid(3, 3), QStringList({"08:15", "CR", "THORAX FACE"}));
    EXPECT_EQ(cell(0, 7, 0), QString::fromUtf8("ŒUVRAY ÉLISE"));
    QSet<QString> distinct;
    for (int r = 0; r < 7; ++r)
        distinct.insert(row(0, r).join(u'|'));
    EXPECT_EQ(distinct.size(), 7);
    // The record set's current row (what "Visualiser..." opens) is the
    // newest, shown at the top.
    EXPECT_EQ(grid(0).currentIndex().row(), 0);
    EXPECT_EQ(
        started_.window.sets.seriesByDate.fieldText(QStringLiteral("SeriesInst")), QStringLiteral("S7-6"));
}

TEST_F(ExamListsTest, HeaderClickSortsAndAClickedRowIsTheOneOpened)
{
    QHeaderView* header = grid(0).horizontalHeader();
    const auto clickHeader = [header](int section) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
    };
    const struct {
        int section;
        int shown; // the column whose first rows are checked
        QStringList firstRows;
    } clicks[] = {
        {4, 4, {"", "", "", "CR"}}, // Modalité, ascending (the other patients' series have none)
        {4, 4, {"US", "MR", "DX", "CT"}}, // again: descending
        {0, 0, {"Dubois Marie", "DUPONT JEAN", QStringLiteral("LEFÈVRE JEAN-MARC")}},
        {1, 3, {"", "", "", "07:30", "08:15", "08:17", "09:00"}}, // Date, then the time of the day
    };
    for (const auto& c : clicks) {
        SCOPED_TRACE(c.section);
        clickHeader(c.section);
        for (int r = 0; r < c.firstRows.size(); ++r)
            EXPECT_EQ(cell(0, r, c.shown), c.firstRows[r]) << r;
    }
    // The grid's rows are sorted, the record set is not: a click on a grid
    // row makes that very series current.
    for (int gridRow : {0, 4, 9}) {
        clickRow(0, gridRow);
        RecordSet& dates = started_.window.sets.seriesByDate;
        EXPECT_EQ(dates.currentRow(), grid(0).recordRow(gridRow));
        EXPECT_EQ(dates.fieldText(QStringLiteral("PatientName")), cell(0, gridRow, 0));
        EXPECT_EQ(dates.fieldText(QStringLiteral("Modality")), cell(0, gridRow, 4));
    }
}

TEST_F(ExamListsTest, PatientSearchByAnyWordSaysWhenNothingOrTheDatabaseAnswers)
{
    const struct {
        const char* typed;
        int rows;
        const char* status;
    } cases[] = {
        {"jean", 8, ""}, // DUPONT JEAN and the seven of LEFÈVRE JEAN-MARC
        {"lefevre", 7, ""},
        {"marc", 7, ""},
        {"oeuvray", 1, ""},
        {"elise", 1, ""},
        {"EAN", 0, "Aucun patient trouvé"},
        {"zz", 0, "Aucun patient trouvé"},
        {"", 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        page().setPatientText(QString::fromUtf8(c.typed));
        EXPECT_EQ(started_.window.sets.seriesByPatient.count(), c.rows);
        EXPECT_EQ(page().isListAvailable(ExamList::ByPatient), c.rows != 0);
        EXPECT_EQ(page().patientSearchStatus(), QString::fromUtf8(c.status));
    }

    // A search the database cannot answer shows its reason, never the
    // patients of the search before with their view button.
    page().setPatientText(QStringLiteral("dup"));
    ASSERT_EQ(started_.window.sets.seriesByPatient.count(), 1);
    pacs_.exec(QStringLiteral("ALTER TABLE DICOMSeries RENAME TO DICOMSeriesAway"));
    page().setPatientText(QStringLiteral("dupo"));
    EXPECT_EQ(started_.window.sets.seriesByPatient.count(), 0);
    EXPECT_EQ(grid(1).model()->rowCount(), 0);
    EXPECT_FALSE(page().isListAvailable(ExamList::ByPatient));
    EXPECT_TRUE(page().patientSearchStatus().startsWith(databaseFailureText(QString())));
    EXPECT_TRUE(page().patientSearchStatus().contains(QStringLiteral("DICOMSeries"), Qt::CaseInsensitive));
    // The date search likewise.
    page().setDays(examDay.addDays(-6), page().toDay());
    EXPECT_EQ(started_.window.sets.seriesByDate.count(), 0);
    EXPECT_FALSE(page().isListAvailable(ExamList::ByDate));
    EXPECT_TRUE(page().seriesCountText().startsWith(databaseFailureText(QString())));
    pacs_.exec(QStringLiteral("ALTER TABLE DICOMSeriesAway RENAME TO DICOMSeries"));
}

// What the user types is searched once the typing pauses, its rows read off
// the interface thread and shown when they arrive.
TEST_F(ExamListsTest, TypedSearchIsReadInTheBackgroundOnceTypingPauses)
{
    patientNameEdit()->setFocus();
    QTest::keyClicks(patientNameEdit(), QStringLiteral("lefevre"));
    EXPECT_EQ(started_.window.sets.seriesByPatient.count(), 0) << "nothing searched while typing";
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return started_.window.sets.seriesByPatient.count() == 7 && !page().patientSearchRunning(); },
        5000));
    EXPECT_TRUE(page().isListAvailable(ExamList::ByPatient));
    EXPECT_TRUE(page().patientSearchStatus().isEmpty());

    QTest::keyClicks(patientNameEdit(), QStringLiteral("zz"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return page().patientSearchStatus() == QStringLiteral("Aucun patient trouvé"); }, 5000));
    EXPECT_EQ(started_.window.sets.seriesByPatient.count(), 0);
    EXPECT_FALSE(page().isListAvailable(ExamList::ByPatient));
}

// A new exam makes the date list follow the newest series, except while the
// user has just picked a row: "Visualiser..." must open the user's choice.
TEST_F(ExamListsTest, NewExamKeepsTheRowTheUserJustPickedAndHighlightsItself)
{
    clickRow(0, 3);
    RecordSet& dates = started_.window.sets.seriesByDate;
    const QString chosen = dates.fieldText(QStringLiteral("SeriesInst"));
    ASSERT_EQ(chosen, QStringLiteral("S7-3"));

    pacs_.addPatient(QStringLiteral("P9"), QStringLiteral("NOUVEAU^PATIENT"));
    pacs_.addSeries(QStringLiteral("S9"), QStringLiteral("P9"), examDay);
    pacs_.addImages(QStringLiteral("S9"), QStringLiteral("P9"), examDay, 1);
    started_.window.monitorTick();
    started_.window.monitorTick();
    ASSERT_EQ(dates.count(), 11);
    EXPECT_EQ(page().seriesCountText(), QStringLiteral("11 dossiers."));
    EXPECT_EQ(dates.fieldText(QStringLiteral("SeriesInst")), chosen);
    EXPECT_EQ(cell(0, grid(0).currentIndex().row(), 5), QStringLiteral("RACHIS CERVICAL"));
    // The new exam is at the top, in bold, not selected.
    EXPECT_EQ(cell(0, 0, 0), QStringLiteral("NOUVEAU PATIENT"));
    EXPECT_TRUE(grid(0).model()->index(0, 0).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(grid(0).model()->index(1, 0).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_NE(grid(0).currentIndex().row(), 0);

    started_.dialogs.messages.clear();
    started_.window.openExamFromList(ExamList::ByDate);
    EXPECT_EQ(started_.window.sets.examImages.recordSource(), sql::imagesOfSeries(chosen))
        << "the row opened";
}

// One click in a date box, then the digits of a date: the date is typed in.
TEST_F(ExamListsTest, DateBoxTakesADateTypedAfterOneClick)
{
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        QDateEdit* picker = page().findChild<QDateEdit*>(
            i == 0 ? QStringLiteral("fromDayPicker") : QStringLiteral("toDayPicker"));
        QLineEdit* text = picker->findChild<QLineEdit*>();
        ASSERT_NE(text, nullptr);
        QTest::mouseClick(text, Qt::LeftButton, {}, QPoint(6, text->height() / 2));
        QTest::keyClicks(picker, i == 0 ? QStringLiteral("09012024") : QStringLiteral("10012024"));
        EXPECT_EQ(picker->date(), QDate(2024, 1, 9 + i));
    }
    EXPECT_EQ(page().seriesCountText(), QStringLiteral("8 dossiers.")); // the list followed
}

// The row made current by the list itself, then clicked: the user chose it.
TEST_F(ExamListsTest, AClickOnTheRowAlreadyCurrentKeepsItToo)
{
    RecordSet& dates = started_.window.sets.seriesByDate;
    ASSERT_EQ(dates.fieldText(QStringLiteral("SeriesInst")), QStringLiteral("S7-6"));
    clickRow(0, 0);
    pacs_.addPatient(QStringLiteral("P9"), QStringLiteral("NOUVEAU^PATIENT"));
    pacs_.addSeries(QStringLiteral("S9"), QStringLiteral("P9"), examDay);
    pacs_.addImages(QStringLiteral("S9"), QStringLiteral("P9"), examDay, 1);
    started_.window.monitorTick();
    started_.window.monitorTick();
    ASSERT_EQ(dates.count(), 11);
    EXPECT_EQ(dates.fieldText(QStringLiteral("SeriesInst")), QStringLiteral("S7-6"));
    EXPECT_EQ(grid(0).currentIndex().row(), 1);
}
