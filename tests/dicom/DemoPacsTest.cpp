#include "DemoPacs.h"
#include "dicom/DicomLoader.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::demo;

namespace {

QStringList column(const QString& database, const QString& sql)
{
    QStringList values;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "check");
        db.setDatabaseName(database);
        EXPECT_TRUE(db.open());
        QSqlQuery query(sql, db);
        while (query.next())
            values << query.value(0).toString();
    }
    QSqlDatabase::removeDatabase("check");
    return values;
}

TEST(DemoPacs, writesRowsAndFilesAsConquestStoresThemAndFeedsNewSeries)
{
    QTemporaryDir dir;
    DemoPacsOptions options;
    options.database = dir.filePath("dbase/conquest.db3");
    options.imageStore = dir.filePath("data");
    options.patients = 4;
    options.imagesPerSeries = 1;
    options.small = true;
    {
        DemoPacs pacs(options);
        ASSERT_EQ(pacs.open(true), "");
        ASSERT_EQ(pacs.generate(), "");
    }
    // The bytes of ISO_IR 100 series, as Conquest stores them: Latin-1.
    QStringList latin1Hex;
    for (const QString& name : QStringList{"DUPONT^JEAN", "LEFÈVRE^ÉLODIE", "O'BRIEN^SEAN", "MARTIN^CHLOÉ"})
        latin1Hex << QString::fromLatin1(name.toLatin1().toHex().toUpper());
    EXPECT_EQ(
        column(options.database, "SELECT hex(PatientNam) FROM DICOMPatients ORDER BY PatientID"), latin1Hex);
    EXPECT_FALSE(column(options.database, "SELECT ReferPhysi FROM DICOMStudies").contains(""));
    const QStringList objectFiles = column(options.database, "SELECT ObjectFile FROM DICOMImages");
    ASSERT_EQ(objectFiles.size(), 8); // CR 1; CT 3 + CR 1; US 1; XA 1 + CR 1
    for (const QString& objectFile : objectFiles) {
        const QString path = options.imageStore + "/" + objectFile;
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const bool withMetaHeader = file.read(132).mid(128) == "DICM";
        EXPECT_EQ(withMetaHeader, objectFile.endsWith(".dcm")) << objectFile.toStdString();
        EXPECT_TRUE(objectFile.startsWith("PAT00")) << objectFile.toStdString();
        const DicomLoadResult loaded = loadDicomImage(path);
        ASSERT_TRUE(loaded.ok()) << loaded.error.toStdString();
        EXPECT_TRUE(loaded.image->spacing.fromFile || !loaded.image->monochrome);
        // dicom3tools' validator finds every attribute the image's IOD requires.
        ASSERT_FALSE(QStandardPaths::findExecutable("dciodvfy").isEmpty()) << "dicom3tools is not installed";
        QProcess validator;
        validator.setProcessChannelMode(QProcess::MergedChannels);
        validator.start("dciodvfy", {path});
        ASSERT_TRUE(validator.waitForFinished(60000));
        const QString report = QString::fromLatin1(validator.readAll());
        EXPECT_FALSE(report.contains(QRegularExpression("^Error", QRegularExpression::MultilineOption)))
            << objectFile.toStdString() << "\n"
            << report.toStdString();
    }
    EXPECT_EQ(column(options.database, "SELECT NumberOfFr FROM DICOMImages WHERE SOPClassUI LIKE '%.12.1'"),
        QStringList{"4"});

    DemoPacs feeding(options);
    ASSERT_EQ(feeding.open(false), "");
    ASSERT_EQ(feeding.addFeedSeries(), "");
    EXPECT_EQ(column(options.database, "SELECT COUNT(*) FROM DICOMSeries"), QStringList{"7"});
    // The first patient's new series is a CT series of three slices.
    EXPECT_EQ(column(options.database, "SELECT COUNT(*) FROM DICOMImages"), QStringList{"11"});
}

} // namespace
