#include "PacsTestDb.h"
#include "pacsdb/ConquestQueries.h"
#include "pacsdb/ExamNaming.h"
#include "pacsdb/ImageFiles.h"
#include "pacsdb/NewExamMonitor.h"
#include "pacsdb/PacsUpgrade.h"
#include "pacsdb/QueryCatalogue.h"
#include "pacsdb/SqlExec.h"

#include <QDir>
#include <QElapsedTimer>

using namespace vexa;
using namespace vexa::test;

namespace {

class Monitor : public BackendTest {
protected:
    void SetUp() override
    {
        BackendTest::SetUp();
        ASSERT_EQ(openAndUpgrade(pacs().path()), QString());
        sets_.setDatabasePath(pacs().path());
        monitor_ = std::make_unique<NewExamMonitor>(sets_, pacs().path());
    }

    void addSeries(const QString& uid, const QString& patient = "P1", const QString& date = "20240110")
    {
        pacs().insertSeries(uid, patient, date);
        pacs().insertImage(uid + "-1", uid, patient, date);
    }

    void expectNotice(NoticeState state, int interval, bool notBurnedButton)
    {
        EXPECT_EQ(monitor_->notice(), state);
        EXPECT_EQ(noticeBlinkInterval(monitor_->notice()), interval);
        EXPECT_EQ(monitor_->notBurnedNoticed(), notBurnedButton);
    }

    QString seriesField(const QString& uid, const QString& column)
    {
        RecordSet set;
        set.setDatabasePath(pacs().path());
        set.setRecordSource(sql::seriesByUid(uid));
        EXPECT_TRUE(set.requery());
        return set.fieldText(column);
    }

    MainRecordSets sets_;
    std::unique_ptr<NewExamMonitor> monitor_;
};

} // namespace

TEST_P(Monitor, NamingNamesAndDatesImagesAndSeries)
{
    pacs().insertPatient("P1", "DUPONT^JEAN^^^");
    pacs().insertSeries("S1", "P1", "20240105");
    pacs().insertImage("I1", "S1", "P1", "20240105");
    pacs().insertImage("I2", "S1", "P1", ""); // no date: today
    pacs().insertImage("I3", "S1", "P1", "2024XX05"); // not a date: today, and the pass goes on
    pacs().insertSeries("S2", "GHOST", ""); // patient not there yet
    ASSERT_EQ(monitor_->nameNewRows(), QString());

    RecordSet images;
    images.setDatabasePath(pacs().path());
    images.setRecordSource(sql::imagesOfSeries("S1"));
    ASSERT_TRUE(images.requery());
    const QDate expected[] = {QDate(2024, 1, 5), QDate::currentDate(), QDate::currentDate()};
    for (const QDate& date : expected) {
        EXPECT_EQ(images.fieldText("PatientName"), QString("DUPONT JEAN"));
        EXPECT_EQ(images.fieldDate("ScanDate"), date);
        EXPECT_TRUE(images.fieldBool("Burned"));
        images.moveNext();
    }
    EXPECT_EQ(seriesField("S1", "PatientName"), QString("DUPONT JEAN"));
    EXPECT_EQ(seriesField("S2", "PatientName"), QString());
    EXPECT_EQ(QDate::fromString(seriesField("S2", "ScanDate").left(10), Qt::ISODate), QDate::currentDate());

    // Once dated, a series is passed over: its patient arriving later does not name it.
    pacs().insertPatient("GHOST", "LATE^ARRIVAL");
    ASSERT_EQ(monitor_->nameNewRows(), QString());
    EXPECT_EQ(seriesField("S2", "PatientName"), QString());
    EXPECT_FALSE(seriesField("S2", "Burned").toInt());
}

// A row without a date of its own takes its study's date, then the
// acquisition date, and only then today: an old exam is never listed as
// today's.
TEST_P(Monitor, ExamDateFallsBackToStudyThenAcquisitionThenToday)
{
    pacs().exec("INSERT INTO DICOMStudies (StudyInsta, StudyDate) VALUES ('ST1', '20040312')");
    pacs().exec("INSERT INTO DICOMStudies (StudyInsta, StudyDate) VALUES ('ST2', '')");
    const struct {
        const char* series;
        const char* study;
        const char* acqDate;
        QDate expected; // of the series and of its image
    } cases[] = {
        {"SA", "ST1", "20040313", QDate(2004, 3, 12)},
        {"SB", "ST2", "20050101", QDate(2005, 1, 1)}, // the study has no date
        {"SC", "NOSTUDY", "2005XX01", QDate::currentDate()}, // no study row, no valid acquisition date
        {"SD", "ST1", "", QDate(2004, 3, 12)},
    };
    for (const auto& c : cases) {
        pacs().exec(QStringLiteral("INSERT INTO DICOMSeries (SeriesInst, SeriesPat, SeriesDate, StudyInsta) "
                                   "VALUES ('%1', 'P1', '', '%2')")
                        .arg(c.series, c.study));
        pacs().exec(
            QStringLiteral("INSERT INTO DICOMImages (SOPInstanc, SeriesInst, ImagePat, ImageDate, AcqDate) "
                           "VALUES ('%1-1', '%1', 'P1', '', '%2')")
                .arg(c.series, c.acqDate));
    }
    ASSERT_EQ(monitor_->nameNewRows(), QString());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.series);
        EXPECT_EQ(QDate::fromString(seriesField(c.series, "ScanDate").left(10), Qt::ISODate), c.expected);
        RecordSet image;
        image.setDatabasePath(pacs().path());
        image.setRecordSource(sql::imagesOfSeries(c.series));
        ASSERT_TRUE(image.requery());
        EXPECT_EQ(image.fieldDate("ScanDate"), c.expected);
    }
}

// A pass with nothing to store takes no write lock: Conquest holding it (in
// the middle of its own write) neither delays nor fails the naming.
TEST_P(Monitor, NothingToStoreTakesNoWriteLock)
{
    pacs().insertPatient("P1", "MARTIN^LUC");
    addSeries("S1");
    ASSERT_EQ(monitor_->nameNewRows(), QString()); // S1 stays not burned, now named and dated
    ASSERT_TRUE(pacs().db().transaction());
    if (pacs().backend() == SqlBackend::Sqlite)
        pacs().exec("INSERT INTO DICOMPatients (PatientID, PatientNam) VALUES ('P2', 'X')"); // holds the lock
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(monitor_->nameNewRows(), QString());
    // Asking for the lock would wait the whole busy timeout (5 s) and fail.
    EXPECT_LT(timer.elapsed(), 4000);
    pacs().db().rollback();
}

// A lookup that fails names nothing and marks nothing handled: the rows
// wait for the next run instead of staying unnamed for good.
TEST_P(Monitor, FailedPatientLookupLeavesTheRowsForTheNextRun)
{
    pacs().insertPatient("P1", "MARTIN^LUC");
    addSeries("S1");
    pacs().exec("ALTER TABLE DICOMPatients RENAME TO PatientsAway");
    EXPECT_NE(monitor_->nameNewRows(), QString());
    EXPECT_EQ(pacs().scalar("SELECT COUNT(*) FROM DICOMImages WHERE Burned = 0").toInt(), 1);
    EXPECT_EQ(pacs().scalar("SELECT COUNT(*) FROM DICOMSeries WHERE ScanDate IS NULL").toInt(), 1);
    pacs().exec("ALTER TABLE PatientsAway RENAME TO DICOMPatients");
    ASSERT_EQ(monitor_->nameNewRows(), QString());
    EXPECT_EQ(seriesField("S1", "PatientName"), QString("MARTIN LUC"));
    EXPECT_EQ(pacs().scalar("SELECT PatientName FROM DICOMImages").toString(), QString("MARTIN LUC"));
}

// Writes keyed by Compteur that reach no row are failures, not successes.
TEST_P(Monitor, WritesThatReachNoRowAreFailures)
{
    addSeries("S1");
    pacs().insertImage("S1-2", "S1", "P1", "20240110");
    RecordSet images;
    images.setDatabasePath(pacs().path());
    images.setRecordSource(sql::imagesOfSeries("S1"));
    ASSERT_TRUE(images.requery());
    pacs().exec("DELETE FROM DICOMImages WHERE SOPInstanc = 'S1-1'"); // gone since the rows were read
    images.edit();
    images.setField("Printed", true);
    EXPECT_FALSE(images.update());
    EXPECT_FALSE(images.lastError().isEmpty());
    images.moveNext();
    images.edit();
    images.setField("Printed", true);
    EXPECT_TRUE(images.update()) << images.lastError().toStdString();

    if (pacs().backend() == SqlBackend::Sqlite) { // a row Conquest added while the trigger was missing
        pacs().exec("DROP TRIGGER DICOMImages_Compteur_auto");
        pacs().insertImage("S1-3", "S1", "P1", "20240110");
        EXPECT_NE(monitor_->nameNewRows(), QString());
        EXPECT_EQ(pacs().scalar("SELECT COUNT(*) FROM DICOMImages WHERE Burned = 0").toInt(), 1);
    }
}

// Identifiers are whole keys: another case or a wild-card character is
// another patient, or none.
TEST_P(Monitor, NamingManyPatientsMatchesIdentifiersExactly)
{
    for (int p = 0; p < 60; ++p) {
        const QString id = QStringLiteral("ID%1").arg(p);
        pacs().insertPatient(id, QStringLiteral("NOM%1^PRENOM").arg(p));
        addSeries(QStringLiteral("S%1").arg(p), id);
    }
    pacs().insertPatient("id7", "LOWER^CASE");
    addSeries("SL", "id7");
    addSeries("SW", "ID5*");
    addSeries("SQ", "ID?");
    ASSERT_EQ(monitor_->nameNewRows(), QString());
    EXPECT_EQ(seriesField("S42", "PatientName"), QString("NOM42 PRENOM"));
    EXPECT_EQ(seriesField("S7", "PatientName"), QString("NOM7 PRENOM"));
    EXPECT_EQ(seriesField("SL", "PatientName"), QString("LOWER CASE"));
    EXPECT_EQ(seriesField("SW", "PatientName"), QString());
    EXPECT_EQ(seriesField("SQ", "PatientName"), QString());
    EXPECT_EQ(pacs().scalar("SELECT COUNT(*) FROM DICOMImages WHERE Burned = 0").toInt(), 0);
}

// A series marked burned before any workstation named it is still named and dated.
TEST_P(Monitor, SeriesMarkedBurnedBeforeNamingIsNamedAndDated)
{
    pacs().insertPatient("P1", "MARTIN^LUC");
    addSeries("S1", "P1", "20240105");
    ASSERT_FALSE(execJet(pacs().db(), sql::markAllSeriesBurned()).isValid());
    ASSERT_EQ(monitor_->nameNewRows(), QString());
    EXPECT_EQ(seriesField("S1", "PatientName"), QString("MARTIN LUC"));
    EXPECT_EQ(QDate::fromString(seriesField("S1", "ScanDate").left(10), Qt::ISODate), QDate(2024, 1, 5));
    EXPECT_TRUE(seriesField("S1", "Burned").toInt());
}

TEST_P(Monitor, NoticeFollowsArrivalsTickByTick)
{
    monitor_->tick();
    expectNotice(NoticeState::NothingNew, 0, false);
    EXPECT_EQ(monitor_->noticeText(), QString::fromUtf8("Il n'y a pas de nouveau dossier à traiter"));

    addSeries("S1"); // the first exam ever
    monitor_->tick();
    expectNotice(NoticeState::Receiving, 100, false);
    EXPECT_EQ(monitor_->noticeText(), QString::fromUtf8("Réception des données en cours..."));
    monitor_->tick();
    expectNotice(NoticeState::NewJustArrived, 500, true);
    EXPECT_EQ(monitor_->noticeText(), QString::fromUtf8("Il y a des nouveaux dossiers à traiter"));
    EXPECT_EQ(seriesField("S1", "ScanDate").left(10), QString("2024-01-10")); // named on the way
    monitor_->tick();
    expectNotice(NoticeState::NewSettled, 0, true);

    // More images of a known series change nothing; new series are "receiving".
    pacs().insertImage("S1-2", "S1", "P1", "20240110");
    monitor_->tick();
    expectNotice(NoticeState::NewSettled, 0, true);
    addSeries("S2");
    monitor_->tick();
    expectNotice(NoticeState::Receiving, 100, true);
    addSeries("S3");
    monitor_->tick();
    expectNotice(NoticeState::Receiving, 100, true);
    EXPECT_EQ(monitor_->notBurnedCount(), 2);
    monitor_->tick();
    expectNotice(NoticeState::NewJustArrived, 500, true);
    monitor_->tick();
    expectNotice(NoticeState::NewSettled, 0, true);
    EXPECT_EQ(monitor_->notBurnedCount(), 3);
    EXPECT_TRUE(monitor_->notBurnedPending());

    pacs().exec("UPDATE DICOMSeries SET Burned = -1");
    monitor_->tick();
    monitor_->tick();
    expectNotice(NoticeState::NothingNew, 0, false);
}

TEST_P(Monitor, ListsKeepTheirCurrentRowAndTheDateListJumpsWhenItGrows)
{
    pacs().insertPatient("P1", "MARTIN^LUC");
    for (const char* uid : {"S1", "S2", "S3"})
        addSeries(uid);
    ASSERT_EQ(monitor_->nameNewRows(), QString());
    sets_.seriesByPatient.setRecordSource(sql::seriesByPatientName("*a")); // every name here
    sets_.seriesByDate.setRecordSource(sql::seriesBetween(QDate(2024, 1, 1), QDate(2024, 1, 31)));
    ASSERT_TRUE(sets_.seriesByPatient.requery());
    ASSERT_TRUE(sets_.seriesByDate.requery());
    monitor_->setSeriesListCount(sets_.seriesByDate.count());
    sets_.seriesByPatient.goTo(1);
    sets_.seriesByDate.goTo(1);
    const QString patientRow = sets_.seriesByPatient.fieldText("SeriesInst");

    monitor_->tick(); // nothing new: both keep their rows
    EXPECT_EQ(sets_.seriesByPatient.fieldText("SeriesInst"), patientRow);
    EXPECT_EQ(sets_.seriesByDate.fieldText("SeriesInst"), QString("S2"));

    pacs().insertPatient("P0", "AAA^FIRST"); // sorts first in the patient list
    addSeries("S4", "P0");
    monitor_->tick(); // names S4
    monitor_->tick();
    EXPECT_EQ(sets_.seriesByPatient.count(), 4);
    EXPECT_EQ(sets_.seriesByPatient.fieldText("SeriesInst"), patientRow);
    EXPECT_EQ(sets_.seriesByDate.fieldText("SeriesInst"), QString("S4"));
    EXPECT_EQ(monitor_->seriesCountText(), QString("4 dossiers."));
    EXPECT_EQ(monitor_->seriesListCount(), 4);
}

// A quiet tick leaves the patient search and the date list unasked; any
// change they show, made here or at another workstation, asks them again.
TEST_P(Monitor, QuietTicksAskTheListsNothingAndChangesAskThemAgain)
{
    pacs().insertPatient("P1", "MARTIN^LUC");
    for (const char* uid : {"S1", "S2"})
        addSeries(uid);
    ASSERT_EQ(monitor_->nameNewRows(), QString());
    pacs().exec("UPDATE DICOMSeries SET Burned = -1 WHERE SeriesInst = 'S1'");
    sets_.seriesByPatient.setRecordSource(sql::seriesByPatientName("martin"));
    sets_.seriesByDate.setRecordSource(sql::seriesBetween(QDate(2024, 1, 1), QDate(2024, 1, 31)));
    int asked = 0;
    for (RecordSet* list : {&sets_.seriesByPatient, &sets_.seriesByDate})
        QObject::connect(list, &QAbstractItemModel::modelReset, [&] { ++asked; });
    monitor_->tick(); // new texts are asked once
    ASSERT_EQ(asked, 2);
    ASSERT_EQ(sets_.seriesByPatient.count(), 2);

    const struct {
        const char* change;
        QString sql;
        int patientRows;
    } cases[] = {
        {"nothing", {}, 2},
        {"a new series",
            "INSERT INTO DICOMSeries (SeriesInst, SeriesPat, SeriesDate) VALUES ('S3', 'P1', "
            "'20240111')",
            3},
        {"a series burned elsewhere", "UPDATE DICOMSeries SET Burned = -1 WHERE SeriesInst = 'S2'", 3},
        {"a burned series deleted elsewhere", "DELETE FROM DICOMSeries WHERE SeriesInst = 'S1'", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        if (!c.sql.isEmpty())
            pacs().exec(c.sql);
        asked = 0;
        monitor_->tick();
        monitor_->tick(); // quiet again
        EXPECT_EQ(asked, c.sql.isEmpty() ? 0 : 2);
        EXPECT_EQ(sets_.seriesByPatient.count(), c.patientRows);
        EXPECT_EQ(sets_.seriesByDate.count(), c.patientRows);
    }
    EXPECT_TRUE(sets_.seriesByPatient.findFirst("SeriesInst = 'S2'"));
    EXPECT_TRUE(sets_.seriesByPatient.fieldBool("Burned"));

    // A new search text is asked at the next tick, the date list is not.
    sets_.seriesByPatient.setRecordSource(sql::seriesByPatientName("dupont"));
    asked = 0;
    monitor_->tick();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(sets_.seriesByPatient.count(), 0);
}

// A row the user picked in the date list within the last minute stays
// current when a new exam makes the list grow; the new row is highlighted.
// An older choice, or none, lets the list jump to the newest series.
TEST_P(Monitor, DateListKeepsARecentChoiceAndHighlightsTheNewExam)
{
    pacs().insertPatient("P1", "MARTIN^LUC");
    for (const char* uid : {"S1", "S2", "S3"})
        addSeries(uid);
    ASSERT_EQ(monitor_->nameNewRows(), QString());
    sets_.seriesByDate.setRecordSource(sql::seriesBetween(QDate(2024, 1, 1), QDate(2024, 1, 31)));
    ASSERT_TRUE(sets_.seriesByDate.requery());
    monitor_->setSeriesListCount(sets_.seriesByDate.count());
    const QDateTime now(QDate(2024, 1, 10), QTime(10, 0));
    monitor_->now = [now] { return now; };

    const struct {
        int chosenSecondsAgo; // -1: no choice
        bool kept;
    } cases[] = {{5, true}, {59, true}, {61, false}, {-1, false}, {0, true}};
    int added = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosenSecondsAgo);
        ASSERT_TRUE(sets_.seriesByDate.findFirst("SeriesInst = 'S2'"));
        if (c.chosenSecondsAgo >= 0)
            sets_.seriesByDate.noteUserChoice(now.addSecs(-c.chosenSecondsAgo));
        const QString uid = QStringLiteral("N%1").arg(++added);
        addSeries(uid);
        monitor_->tick();
        monitor_->tick();
        ASSERT_EQ(sets_.seriesByDate.count(), 3 + added);
        RecordSet& dates = sets_.seriesByDate;
        EXPECT_EQ(dates.fieldText("SeriesInst"), c.kept ? QString("S2") : uid);
        const int newest = dates.count() - 1;
        if (c.kept)
            EXPECT_EQ(dates.highlight().toLongLong(), dates.valueAt(newest, "Compteur").toLongLong());
        else
            EXPECT_TRUE(dates.highlight().isNull());
        EXPECT_EQ(dates.valueAt(newest, "SeriesInst").toString(), uid);
        // A tick with nothing new leaves the kept row where it is.
        monitor_->tick();
        EXPECT_EQ(dates.fieldText("SeriesInst"), c.kept ? QString("S2") : uid);
        sets_.seriesByDate.noteUserChoice(QDateTime()); // forget it for the next case
    }
}

TEST_P(Monitor, PausedTickChangesNothing)
{
    addSeries("S1");
    monitor_->tick();
    addSeries("S2");
    monitor_->setSurveyInterval(0);
    monitor_->tick();
    monitor_->tick();
    EXPECT_EQ(monitor_->notice(), NoticeState::Receiving);
    EXPECT_EQ(monitor_->notBurnedCount(), 0);
    EXPECT_EQ(sets_.notBurnedSeries.count(), 1);
    monitor_->setSurveyInterval(NewExamMonitor::MonitorInterval);
    monitor_->tick();
    EXPECT_EQ(sets_.notBurnedSeries.count(), 2);
}

TEST_P(Monitor, ThumbnailPagesAndImageFiles)
{
    ConquestQueries queries(sets_, pacs().path());
    pacs().insertSeries("S8", "P1", "20240101");
    for (int i = 1; i <= 8; ++i)
        pacs().insertImage(QStringLiteral("I%1").arg(i), "S8", "P1", "20240101",
            i == 6 ? QStringLiteral("P1\\missing.v2") : QStringLiteral("P1\\%1.v2").arg(i));
    EXPECT_EQ(queries.thumbnailPageCount("S8", 7), 2);
    EXPECT_EQ(queries.thumbnailPageCount("S8", 8), 1);
    EXPECT_EQ(queries.thumbnailPageCount("none", 7), 0);

    EXPECT_EQ(queries.imageFilesOfSeries("S8", 2, 4),
        QStringList({"P1\\3.v2", "P1\\4.v2", "P1\\5.v2", "P1\\missing.v2"}));
    EXPECT_EQ(queries.imageFilesOfSeries("S8", 6, 7), QStringList({"P1\\7.v2", "P1\\8.v2"}));
    EXPECT_TRUE(queries.imageFilesOfSeries("S8", 8, 7).isEmpty());
    EXPECT_TRUE(queries.imageFilesOfSeries("none", 0, 7).isEmpty());
    EXPECT_EQ(previewPicturePath(storedImagePath("/c/", "PAT/x.dcm")), QString("/c/PAT/x.dcm.jpeg"));
    EXPECT_EQ(previewPicturePath(storedImagePath("/c", "a.v2dir\\x.V2")), QString("/c/a.v2dir/x.jpeg"));
}

TEST_P(Monitor, ImagesToPrintInDatabaseOrFolder)
{
    ConquestQueries queries(sets_, pacs().path());
    QTemporaryDir folder;
    QString label;
    EXPECT_FALSE(queries.checkImagesToPrint(folder.path(), label));
    EXPECT_EQ(label, QString("Il n'y a pas d'images à imprimer"));
    QFile(folder.filePath("capture.JPG")).open(QIODevice::WriteOnly);
    EXPECT_TRUE(queries.checkImagesToPrint(folder.path(), label));
    EXPECT_EQ(label, QString::fromUtf8("Il y a des images à imprimer"));
    addSeries("S1");
    EXPECT_TRUE(queries.checkImagesToPrint(QString(), label));
}

VEXA_BACKENDS(Monitor);
