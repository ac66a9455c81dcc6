#include "browser/export/JpegExport.h"
#include "DicomFixtures.h"
#include "pacsdb/ConquestSchema.h"
#include "pacsdb/ImageFiles.h"
#include "pacsdb/PacsUpgrade.h"
#include "pacsdb/RecordSet.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMutex>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QWaitCondition>
#include <algorithm>
#include <gtest/gtest.h>

using namespace vexa;

namespace {

// Records every call; writes empty pictures, except for images told to fail.
class RecordingConverters : public ImageConverters {
public:
    QStringList calls;
    QStringList failing;

    DicomResult makePreviewPicture(const QString& path) override
    {
        return make("dcm2jpeg", path, previewPicturePath(path));
    }
    DicomResult makeFullSizePicture(const QString& path) override
    {
        return make("dcm2jpg", path, fullSizePicturePath(path));
    }
    DicomResult makeStandardDicomFile(const QString&, const QString&) override
    {
        return DicomResult::success();
    }
    DicomResult makeDicomDir(const QString&, const QString&, const QString&) override
    {
        return DicomResult::success();
    }

private:
    QMutex mutex_;
    DicomResult make(const QString& converter, const QString& image, const QString& picture)
    {
        QMutexLocker lock(&mutex_);
        calls << converter + " " + image;
        if (failing.contains(image))
            return DicomResult::failure("corrupt");
        QFile file(picture);
        file.open(QIODevice::WriteOnly);
        return DicomResult::success();
    }
};

// Each preview waits (five seconds at most) until two previews have been in
// progress together: a pool that ran the images one by one leaves it at 1.
class OverlapConverters : public RecordingConverters {
public:
    int mostAtOnce = 0;

    DicomResult makePreviewPicture(const QString& path) override
    {
        QMutexLocker lock(&overlapMutex_);
        mostAtOnce = std::max(mostAtOnce, ++inside_);
        overlap_.wakeAll();
        QDeadlineTimer deadline(5000);
        while (mostAtOnce < 2 && overlap_.wait(&overlapMutex_, deadline))
            ;
        --inside_;
        lock.unlock();
        return RecordingConverters::makePreviewPicture(path);
    }

private:
    QMutex overlapMutex_;
    QWaitCondition overlap_;
    int inside_ = 0;
};

class RecordingProgress : public ExportProgress {
public:
    QStringList events;
    void begin() override { events << "begin"; }
    void advance(int done, int total) override { events << QStringLiteral("%1 / %2").arg(done).arg(total); }
    void end() override { events << "end"; }
};

class JpegExportTest : public ::testing::Test {
protected:
    QTemporaryDir dir_;
    QString database_;
    QString store_;
    RecordSet conn_{"Conn"};
    RecordingConverters converters_;
    RecordingProgress progress_;
    QThreadPool onePool_; // one worker: calls come in Compteur order

    void SetUp() override
    {
        onePool_.setMaxThreadCount(1);
        database_ = dir_.filePath("conquest.db3");
        store_ = dir_.filePath("data"); // no trailing separator
        QDir().mkpath(store_ + "/PAT1");
        {
            QSqlDatabase db = openConquestDatabase(database_, "setup", nullptr, MissingFile::Create);
            ASSERT_TRUE(db.isOpen());
            ASSERT_EQ(createConquestTables(db), "");
            db.close();
        }
        QSqlDatabase::removeDatabase("setup");
        ASSERT_EQ(openAndUpgrade(database_), "");
    }

    // Adds image rows in Compteur order; `exported` marks some as done.
    void addImages(const QString& series, const QStringList& objectFiles, const QList<bool>& exported = {})
    {
        QSqlDatabase db = openConquestDatabase(database_, "rows");
        for (int i = 0; i < objectFiles.size(); ++i) {
            QSqlQuery insert(db);
            insert.prepare("INSERT INTO DICOMImages (SOPInstanc, SeriesInst, ObjectFile) VALUES (?, ?, ?)");
            insert.addBindValue(series + "." + QString::number(i));
            insert.addBindValue(series);
            insert.addBindValue(objectFiles[i]);
            ASSERT_TRUE(insert.exec());
            if (exported.value(i)) {
                QSqlQuery mark(db);
                ASSERT_TRUE(mark.exec("UPDATE DICOMImages SET JpegExported = -1 WHERE SOPInstanc = '" + series
                    + "." + QString::number(i) + "'"));
            }
        }
        db.close();
        db = {};
        QSqlDatabase::removeDatabase("rows");
    }

    QList<bool> exportedFlags(const QString& series)
    {
        RecordSet check;
        check.setDatabasePath(database_);
        check.setRecordSource(
            "Select * FROM DICOMImages WHERE SeriesInst = '" + series + "' ORDER BY Compteur;");
        EXPECT_TRUE(check.requery());
        QList<bool> flags;
        for (check.moveFirst(); !check.eof(); check.moveNext())
            flags << check.fieldBool("JpegExported");
        return flags;
    }

    bool runExport(const QString& series, ImageConverters& with)
    {
        return exportSeriesJpeg(series, conn_, database_, store_, with, progress_, &onePool_);
    }
    bool runExport(const QString& series) { return runExport(series, converters_); }
    QString image(const QString& objectFile) { return store_ + "/" + objectFile; }
};

TEST_F(JpegExportTest, seriesAllExportedRunsNoConverter)
{
    addImages("S1", {"PAT1/a.v2", "PAT1/b.v2"}, {true, true});
    EXPECT_TRUE(runExport("S1"));
    EXPECT_TRUE(converters_.calls.isEmpty());
    EXPECT_EQ(progress_.events.first(), "begin");
    EXPECT_EQ(progress_.events.last(), "end");
}

TEST_F(JpegExportTest, secondOfThreeAlreadyExportedConvertsFirstAndThirdInOrder)
{
    addImages("S1", {"PAT1/a.v2", "PAT1/b.v2", "PAT1\\c.v2"}, {false, true, false});
    EXPECT_TRUE(runExport("S1"));
    // The store path had no trailing separator; the Windows "\" reads as "/".
    EXPECT_EQ(converters_.calls,
        QStringList({"dcm2jpeg " + image("PAT1/a.v2"), "dcm2jpg " + image("PAT1/a.v2"),
            "dcm2jpeg " + image("PAT1/c.v2"), "dcm2jpg " + image("PAT1/c.v2")}));
    EXPECT_EQ(exportedFlags("S1"), QList<bool>({true, true, true}));
    EXPECT_TRUE(progress_.events.contains("2 / 2"));
}

TEST_F(JpegExportTest, seriesWithoutImagesAndQuotedUidsReturnTrue)
{
    addImages("S1", {"PAT1/a.v2"});
    EXPECT_TRUE(runExport("NONE"));
    EXPECT_TRUE(runExport("O'BRIEN"));
    EXPECT_TRUE(converters_.calls.isEmpty());
    EXPECT_EQ(exportedFlags("S1"), QList<bool>({false}));
}

TEST_F(JpegExportTest, aFailedImageStaysUnexportedWithoutStoppingTheOthers)
{
    addImages("S1", {"PAT1/a.v2", "PAT1/b.v2", "PAT1/c.v2"});
    converters_.failing = {image("PAT1/b.v2")};
    EXPECT_TRUE(runExport("S1"));
    EXPECT_EQ(converters_.calls.size(), 6);
    EXPECT_EQ(exportedFlags("S1"), QList<bool>({true, false, true}));

    // Next time only the failed image is tried again.
    converters_.calls.clear();
    converters_.failing.clear();
    EXPECT_TRUE(runExport("S1"));
    EXPECT_EQ(
        converters_.calls, QStringList({"dcm2jpeg " + image("PAT1/b.v2"), "dcm2jpg " + image("PAT1/b.v2")}));
    EXPECT_EQ(exportedFlags("S1"), QList<bool>({true, true, true}));
}

TEST_F(JpegExportTest, imagesAreConvertedOnEveryWorkerOfThePool)
{
    addImages("S1", {"PAT1/a.v2", "PAT1/b.v2", "PAT1/c.v2", "PAT1/d.v2"});
    QThreadPool twoWorkers;
    twoWorkers.setMaxThreadCount(2);
    OverlapConverters overlapping;
    EXPECT_TRUE(exportSeriesJpeg("S1", conn_, database_, store_, overlapping, progress_, &twoWorkers));
    EXPECT_EQ(overlapping.mostAtOnce, 2);
    EXPECT_EQ(overlapping.calls.size(), 8);
    EXPECT_EQ(exportedFlags("S1"), QList<bool>({true, true, true, true}));
}

TEST_F(JpegExportTest, databaseErrorReturnsFalse)
{
    EXPECT_FALSE(
        exportSeriesJpeg("S1", conn_, dir_.filePath("no/such/db.db3"), store_, converters_, progress_));
    EXPECT_EQ(progress_.events.last(), "end");
}

TEST_F(JpegExportTest, realConvertersWritePicturesAndLeaveCorruptImagesUnmarked)
{
    const NewDicomImage good = fixtures::greyImage(300, 400, 12, false, [](int c, int r) { return c + r; });
    ASSERT_TRUE(writeDicomImage(good, image("PAT1/a.v2"), DicomFileLayout::BareImplicitLittle).ok);
    ASSERT_TRUE(writeDicomImage(good, image("PAT1/c.dcm"), DicomFileLayout::WithMetaHeader).ok);
    QFile corrupt(image("PAT1/b.v2"));
    ASSERT_TRUE(corrupt.open(QIODevice::WriteOnly));
    corrupt.write(QByteArray(1000, 'z'));
    corrupt.close();
    addImages("S1", {"PAT1/a.v2", "PAT1/b.v2", "PAT1/c.dcm"});

    DcmtkImageConverters real;
    EXPECT_TRUE(exportSeriesJpeg("S1", conn_, database_, store_, real, progress_)); // global pool
    EXPECT_EQ(QImage(image("PAT1/a.jpeg")).size(), QSize(192, 256));
    EXPECT_EQ(QImage(image("PAT1/a.jpg")).size(), QSize(300, 400));
    EXPECT_TRUE(QFile::exists(image("PAT1/c.dcm.jpeg")));
    EXPECT_TRUE(QFile::exists(image("PAT1/c.dcm.jpg")));
    EXPECT_FALSE(QFile::exists(image("PAT1/b.jpeg")));
    EXPECT_EQ(exportedFlags("S1"), QList<bool>({true, false, true}));
}

} // namespace
