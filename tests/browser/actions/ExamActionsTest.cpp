// Deleting an image and a whole exam on a small PACS, on both database
// engines: the rows, the files beside each image, the refusal while the
// series is still being received, and files that cannot be removed.
#include "browser/actions/ExamActions.h"
#include "PacsTestDb.h"
#include "ScriptedDialogService.h"
#include "base/core/AppValues.h"
#include "base/core/DialogService.h"
#include "browser/ExamOpening.h"
#include "pacsdb/MainRecordSets.h"
#include "pacsdb/PacsUpgrade.h"
#include "pacsdb/QueryCatalogue.h"
#include "viewer/window/DeleteImageDialog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::test;

namespace {

const QString ExamUid = QStringLiteral("1.2.3.100");
const QString OtherExam = QStringLiteral("1.2.3.200");
const QString EmptyExam = QStringLiteral("1.2.3.300");

class RecordedThumbnails : public ThumbnailSink {
public:
    int thumbnailCount() const override { return MainThumbnailCount; }
    void clearPicture(int) override { }
    void setTag(int index, const QString& tag) override { tags[index] = tag; }
    void setVisible(int, bool) override { }
    bool loadPicture(int, const QString& path) override { return QFileInfo::exists(path); }
    QString tags[MainThumbnailCount];
};

class ExamActionsTest : public BackendTest {
protected:
    void SetUp() override
    {
        BackendTest::SetUp();
        ASSERT_EQ(openAndUpgrade(pacs().path()), QString());
        appValues().conquestPath = pacs().path();
        appValues().conquestImagePath = root_.path();
        pacs().insertPatient(QStringLiteral("P1"), QStringLiteral("DUPONT^JEAN"));
        pacs().exec(QStringLiteral("INSERT INTO DICOMStudies (StudyInsta, PatientID) VALUES ('ST1', 'P1')"));
        for (const QString& uid : {ExamUid, OtherExam, EmptyExam})
            pacs().insertSeries(uid, QStringLiteral("P1"), QStringLiteral("20260314"));
        addImage(ExamUid, QStringLiteral("a"), true);
        addImage(ExamUid, QStringLiteral("b"), true);
        addImage(ExamUid, QStringLiteral("c"), false);
        addImage(OtherExam, QStringLiteral("d"), true);
        writeFile(QStringLiteral("P1/") + ExamUid + QStringLiteral(".rtf"));

        sets_.setDatabasePath(pacs().path());
        sets_.examImages.setRecordSource(sql::imagesOfSeries(ExamUid));
        ASSERT_TRUE(sets_.examImages.requery());
    }

    QString path(const QString& relative) const { return root_.filePath(relative); }

    // A file of the store, made to look long since received.
    void writeFile(const QString& relative)
    {
        QDir().mkpath(QFileInfo(path(relative)).path());
        QFile file(path(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("data");
        file.close();
        stamp(relative, QDateTime::currentDateTime().addDays(-1));
    }

    void stamp(const QString& relative, const QDateTime& when)
    {
        QFile file(path(relative));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
    }

    // An image "P1/<name>.v2", with its measurements and pictures when asked.
    void addImage(const QString& series, const QString& name, bool withPictures)
    {
        const QString objectFile = QStringLiteral("P1/") + name + QStringLiteral(".v2");
        pacs().insertImage(
            series + u'.' + name, series, QStringLiteral("P1"), QStringLiteral("20260314"), objectFile);
        writeFile(objectFile);
        if (withPictures) {
            for (const char* suffix : {".v2.dgr", ".jpeg", ".jpg"})
                writeFile(QStringLiteral("P1/") + name + QString::fromLatin1(suffix));
        }
    }

    QStringList filesOf(const QString& name) const
    {
        QStringList paths;
        for (const char* suffix : {".v2", ".v2.dgr", ".jpeg", ".jpg"})
            paths << path(QStringLiteral("P1/") + name + QString::fromLatin1(suffix));
        return paths;
    }

    qint64 count(const QString& sql) { return pacs().scalar(sql).toLongLong(); }
    qint64 imagesOf(const QString& series)
    {
        return count(QStringLiteral("SELECT COUNT(*) FROM DICOMImages WHERE SeriesInst = '%1'").arg(series));
    }
    qint64 seriesRows(const QString& series)
    {
        return count(QStringLiteral("SELECT COUNT(*) FROM DICOMSeries WHERE SeriesInst = '%1'").arg(series));
    }

    // The deletion dialog answered by its own buttons; the picture it showed is kept.
    void answerDeleteImage(bool yes)
    {
        actions_.runWindow = [this, yes](QDialog& window) {
            shownPicture_ = deleteImageShared().deleteImagePicture;
            auto& dialog = static_cast<DeleteImageDialog&>(window);
            shownQuestion_ = dialog.questionText();
            (yes ? dialog.yesButton : dialog.noButton)->click();
            return window.result();
        };
    }

    // The exam an action is given: its series UID is what is deleted, the
    // patient and the date are named in the questions.
    static vexa::Exam examOf(const QString& seriesUid)
    {
        return {seriesUid, {}, {}, QStringLiteral("DUPONT JEAN"), QStringLiteral("10/01/2024")};
    }

    QTemporaryDir root_;
    MainRecordSets sets_;
    ScriptedDialogService dialogs_;
    ExamActions actions_{sets_};
    QString shownPicture_;
    QString shownQuestion_;
};

TEST_P(ExamActionsTest, DeletingTheSelectedImageRemovesItsFourFilesAndRowOnly)
{
    sets_.examImages.findFirst(QStringLiteral("SOPInstanc = '") + ExamUid + QStringLiteral(".a'"));
    RecordedThumbnails thumbnails;
    answerDeleteImage(true);

    EXPECT_TRUE(actions_.deleteSelectedImage(examOf(ExamUid), thumbnails));

    EXPECT_EQ(shownPicture_, path(QStringLiteral("P1/a.jpeg")));
    EXPECT_TRUE(shownQuestion_.startsWith(QStringLiteral("Patient : DUPONT JEAN\r\nExamen du 10/01/2024")))
        << shownQuestion_.toStdString();
    for (const QString& file : filesOf(QStringLiteral("a")))
        EXPECT_FALSE(QFileInfo::exists(file)) << file.toStdString();
    for (const QString& file : filesOf(QStringLiteral("b")) + filesOf(QStringLiteral("d")))
        EXPECT_TRUE(QFileInfo::exists(file)) << file.toStdString();
    EXPECT_EQ(imagesOf(ExamUid), 2);
    EXPECT_EQ(imagesOf(OtherExam), 1);
    EXPECT_EQ(sets_.examImages.count(), 2);
    // Refilled from the first image left; "c" has no picture, so the filling stops there.
    EXPECT_EQ(thumbnails.tags[0], QStringLiteral("P1/b.v2"));
    EXPECT_EQ(thumbnails.tags[1], QString());
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_P(ExamActionsTest, AnsweringNonKeepsTheImage)
{
    RecordedThumbnails thumbnails;
    answerDeleteImage(false);
    EXPECT_FALSE(actions_.deleteSelectedImage(examOf(ExamUid), thumbnails));
    EXPECT_EQ(imagesOf(ExamUid), 3);
    for (const QString& file : filesOf(QStringLiteral("a")))
        EXPECT_TRUE(QFileInfo::exists(file)) << file.toStdString();
}

TEST_P(ExamActionsTest, DeletingTheExamRemovesItsRowsReportAndFilesButKeepsPatientAndStudy)
{
    // A row naming no file: nothing to delete for it, and the store's root stays.
    pacs().exec(QStringLiteral(
        "INSERT INTO DICOMImages (SOPInstanc, SeriesInst, ObjectFile) VALUES ('%1.e', '%1', '')")
                    .arg(ExamUid));
    dialogs_.answerMessage(MsgResult::Yes);
    EXPECT_TRUE(actions_.deleteExam(examOf(ExamUid)));

    ASSERT_EQ(dialogs_.messages.size(), 1u);
    const MessageRequest& question = dialogs_.messages[0];
    EXPECT_EQ(question.text, ExamActions::deleteExamQuestionFor(examOf(ExamUid)));
    EXPECT_TRUE(question.text.startsWith(QStringLiteral("Patient : ") + examOf(ExamUid).patientName));
    EXPECT_TRUE(question.text.contains(QStringLiteral("IRREMEDIABLE et DEFINITIVE.  \r\n")));
    EXPECT_EQ(question.title, QStringLiteral("Détruire un dossier..."));
    EXPECT_EQ(question.icon, MsgIcon::Exclamation);
    EXPECT_EQ(question.defaultButton, MsgResult::No);

    EXPECT_EQ(imagesOf(ExamUid), 0);
    EXPECT_EQ(seriesRows(ExamUid), 0);
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("P1/") + ExamUid + QStringLiteral(".rtf"))));
    for (const QString& file : filesOf(QStringLiteral("a")) + filesOf(QStringLiteral("c")))
        EXPECT_FALSE(QFileInfo::exists(file)) << file.toStdString();
    for (const QString& file : filesOf(QStringLiteral("d")))
        EXPECT_TRUE(QFileInfo::exists(file)) << file.toStdString();
    EXPECT_EQ(imagesOf(OtherExam), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM DICOMPatients")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM DICOMStudies")), 1);
    EXPECT_EQ(sets_.examImages.count(), 0) << "page 2's list of it is closed";
    EXPECT_TRUE(QFileInfo(root_.path()).isDir());
}

TEST_P(ExamActionsTest, AnExamWithoutImagesLosesItsSeriesRow)
{
    dialogs_.answerMessage(MsgResult::Yes);
    EXPECT_TRUE(actions_.deleteExam(examOf(EmptyExam)));
    EXPECT_EQ(seriesRows(EmptyExam), 0);
    EXPECT_EQ(seriesRows(ExamUid), 1);
    EXPECT_EQ(dialogs_.messages.size(), 1u);
}

TEST_P(ExamActionsTest, AnsweringNoOrStillReceivingDeletesNothing)
{
    struct Case {
        const char* what;
        MsgResult answer;
        qint64 accessTimeAgo; // seconds before now; 0 leaves the rows without one
        bool freshFile; // an image file written just now
        bool deleted;
    };
    const Case cases[] = {
        {"answered No", MsgResult::No, 0, false, false},
        {"row stored 3 s ago", MsgResult::Yes, 3, false, false},
        {"file written just now", MsgResult::Yes, 0, true, false},
        {"row stored a minute ago", MsgResult::Yes, 60, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        pacs().exec(QStringLiteral("UPDATE DICOMImages SET AccessTime = %1")
                        .arg(c.accessTimeAgo ? QDateTime::currentSecsSinceEpoch() - c.accessTimeAgo : 0));
        if (c.freshFile)
            stamp(QStringLiteral("P1/b.v2"), QDateTime::currentDateTime());
        dialogs_.messages.clear();
        dialogs_.answerMessage(c.answer);

        EXPECT_EQ(actions_.deleteExam(examOf(ExamUid)), c.deleted);
        EXPECT_EQ(seriesRows(ExamUid), c.deleted ? 0 : 1);
        EXPECT_EQ(QFileInfo::exists(path(QStringLiteral("P1/a.v2"))), !c.deleted);
        const bool refused = c.answer == MsgResult::Yes && !c.deleted;
        ASSERT_EQ(dialogs_.messages.size(), refused ? 2u : 1u);
        if (refused) {
            EXPECT_EQ(dialogs_.messages[1].text, ExamActions::StillReceivingText);
        }
        if (c.freshFile)
            stamp(QStringLiteral("P1/b.v2"), QDateTime::currentDateTime().addDays(-1));
    }
}

TEST_P(ExamActionsTest, AFileThatCannotBeRemovedIsReportedWithItsPath)
{
    // A non-empty folder where the measurements of "c" would be.
    const QString blocked = path(QStringLiteral("P1/c.v2.dgr"));
    writeFile(QStringLiteral("P1/c.v2.dgr/inside"));
    dialogs_.answerMessage(MsgResult::Yes);

    EXPECT_TRUE(actions_.deleteExam(examOf(ExamUid)));

    ASSERT_EQ(dialogs_.messages.size(), 2u);
    EXPECT_EQ(dialogs_.messages[1].text, QStringLiteral("Ce fichier n'a pas pu être effacé :\r\n") + blocked);
    EXPECT_EQ(dialogs_.messages[1].icon, MsgIcon::Critical);
    EXPECT_EQ(imagesOf(ExamUid), 0);
    EXPECT_EQ(seriesRows(ExamUid), 0);
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("P1/c.v2"))));
    EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("P1/c.v2.dgr/inside"))));
}

VEXA_BACKENDS(ExamActionsTest);

} // namespace
