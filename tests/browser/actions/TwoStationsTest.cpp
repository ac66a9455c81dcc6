// Two workstations on one database, on both engines: station 1 (a thread
// with its own connection) deletes the exam station 2 shows, and Conquest
// then stores a new series. Every write station 2 still tries on the deleted
// exam is refused, and nothing is written to the new series.
#include "PacsTestDb.h"
#include "ScriptedDialogService.h"
#include "base/core/AppValues.h"
#include "base/core/DialogService.h"
#include "browser/ExamOpening.h"
#include "browser/ExamRows.h"
#include "browser/actions/ExamActions.h"
#include "browser/actions/ExamDeletion.h"
#include "pacsdb/ExamChecks.h"
#include "pacsdb/MainRecordSets.h"
#include "pacsdb/PacsUpgrade.h"
#include "pacsdb/QueryCatalogue.h"
#include "viewer/window/DeleteImageDialog.h"

#include <QDialog>
#include <QPushButton>
#include <QtConcurrent/QtConcurrentRun>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::test;

namespace {

const QString Day = QStringLiteral("20260314");

class NoThumbnails : public ThumbnailSink {
public:
    int thumbnailCount() const override { return MainThumbnailCount; }
    void clearPicture(int) override { }
    void setTag(int, const QString&) override { }
    void setVisible(int, bool) override { }
    bool loadPicture(int, const QString&) override { return false; }
};

class TwoStations : public BackendTest {
protected:
    void SetUp() override
    {
        BackendTest::SetUp();
        ASSERT_EQ(openAndUpgrade(pacs().path()), QString());
        appValues().conquestPath = pacs().path();
        appValues().conquestImagePath = root_.path() + u'/';
        pacs().insertPatient(QStringLiteral("P1"), QStringLiteral("DUPONT^JEAN"));
        pacs().insertSeries(QStringLiteral("S1"), QStringLiteral("P1"), Day);
        for (const char* image : {"S1.1", "S1.2"})
            pacs().insertImage(QString::fromLatin1(image), QStringLiteral("S1"), QStringLiteral("P1"), Day);
        // Station 2 has the exam open on page 2.
        sets_.setDatabasePath(pacs().path());
        sets_.examImages.setRecordSource(sql::imagesOfSeries(QStringLiteral("S1")));
        ASSERT_TRUE(sets_.examImages.requery());
        shown_ = Exam{QStringLiteral("S1"), {}, QStringLiteral("P1"), QStringLiteral("DUPONT JEAN"), {}};
    }

    // Station 1 deletes the exam on a thread of its own (and so on a
    // connection of its own); then Conquest stores the next series.
    void deleteElsewhereThenReceive()
    {
        const QString path = pacs().path();
        const QString error
            = QtConcurrent::run([path] { return deleteSeriesRows(path, QStringLiteral("S1")); }).result();
        ASSERT_EQ(error, QString());
        pacs().insertPatient(QStringLiteral("P2"), QStringLiteral("MARTIN^LEA"));
        pacs().insertSeries(QStringLiteral("S2"), QStringLiteral("P2"), Day);
        for (const char* image : {"S2.1", "S2.2"})
            pacs().insertImage(QString::fromLatin1(image), QStringLiteral("S2"), QStringLiteral("P2"), Day);
    }

    QTemporaryDir root_;
    ScriptedDialogService dialogs_;
    MainRecordSets sets_;
    Exam shown_;
};

TEST_P(TwoStations, EveryWriteOnAnExamDeletedElsewhereIsRefused)
{
    deleteElsewhereThenReceive();
    ExamActions actions(sets_);
    actions.now = [] { return QDateTime::currentDateTime().addSecs(60); };
    actions.runWindow = [](QDialog& window) {
        static_cast<DeleteImageDialog&>(window).yesButton->click();
        return window.result();
    };
    NoThumbnails thumbnails;
    sets_.examImages.goTo(1); // station 2's list still shows the deleted images

    EXPECT_EQ(checkExamStillThere(pacs().path(), shown_).outcome, ExamWrite::Gone);
    EXPECT_EQ(markExamBurned(pacs().path(), shown_).outcome, ExamWrite::Gone);
    EXPECT_EQ(markImagePrinted(pacs().path(), QStringLiteral("S1.2"), QDate::currentDate()).outcome,
        ExamWrite::Gone);
    dialogs_.answerMessage(MsgResult::Yes);
    EXPECT_FALSE(actions.deleteExam(shown_));
    EXPECT_FALSE(actions.deleteSelectedImage(shown_, thumbnails));
    ASSERT_EQ(dialogs_.messages.size(), 3u);
    EXPECT_EQ(dialogs_.messages[1].text, examDeletedElsewhereText()) << "the exam";
    EXPECT_EQ(dialogs_.messages[2].text, examDeletedElsewhereText()) << "its image";

    // The new series is whole and untouched.
    EXPECT_EQ(
        pacs().scalar(QStringLiteral("SELECT COUNT(*) FROM DICOMSeries WHERE SeriesInst = 'S2'")).toInt(), 1);
    EXPECT_EQ(
        pacs().scalar(QStringLiteral("SELECT COUNT(*) FROM DICOMImages WHERE SeriesInst = 'S2'")).toInt(), 2);
    EXPECT_EQ(pacs().scalar(QStringLiteral("SELECT COUNT(*) FROM DICOMSeries WHERE Burned <> 0")).toInt(), 0);
    EXPECT_EQ(
        pacs().scalar(QStringLiteral("SELECT COUNT(*) FROM DICOMImages WHERE Printed <> 0")).toInt(), 0);
}

TEST_P(TwoStations, WritesOnAnExamStillThereGoToItsOwnRows)
{
    pacs().insertPatient(QStringLiteral("P2"), QStringLiteral("MARTIN^LEA"));
    pacs().insertSeries(QStringLiteral("S2"), QStringLiteral("P2"), Day);
    pacs().insertImage(QStringLiteral("S2.1"), QStringLiteral("S2"), QStringLiteral("P2"), Day);

    EXPECT_TRUE(markExamBurned(pacs().path(), shown_).written());
    EXPECT_TRUE(markImagePrinted(pacs().path(), QStringLiteral("S1.2"), QDate::currentDate()).written());
    EXPECT_EQ(
        pacs().scalar(QStringLiteral("SELECT SeriesInst FROM DICOMSeries WHERE Burned <> 0")).toString(),
        QStringLiteral("S1"));
    EXPECT_EQ(
        pacs().scalar(QStringLiteral("SELECT SOPInstanc FROM DICOMImages WHERE Printed <> 0")).toString(),
        QStringLiteral("S1.2"));
    EXPECT_EQ(pacs().scalar(QStringLiteral("SELECT COUNT(*) FROM DICOMSeries WHERE Burned <> 0")).toInt(), 1);
    EXPECT_TRUE(dialogs_.messages.empty());
}

VEXA_BACKENDS(TwoStations);

} // namespace
