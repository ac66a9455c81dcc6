#include "DicomFixtures.h"
#include "dicom/DicomDirBuilder.h"
#include "dicom/DicomLoader.h"
#include "dicom/DicomTags.h"
#include "dicom/StandardDicomFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vexa;

namespace {

NewDicomImage storedImage(int instance)
{
    NewDicomImage image
        = fixtures::greyImage(32, 24, 12, false, [=](int c, int r) { return c * r + instance; });
    image.sopClassUid = sop_class::ComputedRadiography;
    image.modality = QStringLiteral("CR");
    image.instanceNumber = instance;
    return image;
}

QByteArray headOf(const QString& path, int bytes)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(bytes) : QByteArray();
}

TEST(StandardDicomFile, turnsABareDatasetIntoAFileWithAMetaHeaderKeepingItsIdentity)
{
    QTemporaryDir dir;
    const NewDicomImage source = storedImage(1);
    const QString stored = dir.filePath("x.v2");
    ASSERT_TRUE(writeDicomImage(source, stored, DicomFileLayout::BareImplicitLittle).ok);
    ASSERT_NE(headOf(stored, 132).mid(128), "DICM");

    const QString target = dir.filePath("00000001");
    const DicomResult result = writeStandardDicomFile(stored, target);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(headOf(target, 132).mid(128), "DICM");
    const QString tags = dicomTagsText(target);
    EXPECT_TRUE(tags.contains("=LittleEndianExplicit")) << tags.left(2000).toStdString();
    EXPECT_TRUE(tags.contains(source.sopInstanceUid));
    EXPECT_TRUE(tags.contains("=ComputedRadiographyImageStorage"));
    EXPECT_EQ(loadDicomImage(target).image->values, loadDicomImage(stored).image->values);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no partial file left
}

TEST(StandardDicomFile, decodesCompressedImagesAndRefusesWhatCannotBeDecoded)
{
    QTemporaryDir dir;
    const QString jpeg = fixtures::pydicomFile("SC_rgb_jpeg_dcmtk.dcm");
    const QString j2k = fixtures::pydicomFile("MR_small_jp2klossless.dcm");
    // python3-pydicom, installed by the set-up script, ships these files.
    ASSERT_TRUE(QFile::exists(jpeg) && QFile::exists(j2k)) << "python3-pydicom's test files are missing";
    ASSERT_TRUE(writeStandardDicomFile(jpeg, dir.filePath("A")).ok);
    EXPECT_TRUE(dicomTagsText(dir.filePath("A")).contains("=LittleEndianExplicit"));
    const DicomResult refused = writeStandardDicomFile(j2k, dir.filePath("B"));
    EXPECT_FALSE(refused.ok);
    EXPECT_FALSE(refused.error.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath("B")));
    EXPECT_FALSE(writeStandardDicomFile(dir.filePath("missing.v2"), dir.filePath("C")).ok);
}

TEST(DicomDir, indexesEveryConvertedImageAndReadsBack)
{
    QTemporaryDir store, cd;
    ASSERT_TRUE(QDir(cd.path()).mkpath("DICOM"));
    for (int k = 1; k <= 3; ++k) {
        const QString stored = store.filePath(QStringLiteral("img%1.v2").arg(k));
        ASSERT_TRUE(writeDicomImage(storedImage(k), stored, DicomFileLayout::BareImplicitLittle).ok);
        ASSERT_TRUE(
            writeStandardDicomFile(stored, cd.filePath(QStringLiteral("DICOM/%1").arg(k, 8, 10, QChar('0'))))
                .ok);
    }
    const QString dicomDir = cd.filePath("DICOMDIR");
    const DicomDirSummary summary = buildDicomDir(dicomDir, "VEXADICOM", cd.path());
    ASSERT_TRUE(summary.result.ok) << summary.result.error.toStdString();
    EXPECT_EQ(summary.indexedFiles, 3);
    EXPECT_EQ(fixtures::dicomDirImageFiles(dicomDir),
        QStringList({"DICOM/00000001", "DICOM/00000002", "DICOM/00000003"}));
    EXPECT_TRUE(dicomTagsText(dicomDir).contains("VEXADICOM"));
}

TEST(DicomDir, reportsFilesItCouldNotIndex)
{
    QTemporaryDir cd;
    ASSERT_TRUE(QDir(cd.path()).mkpath("DICOM"));
    ASSERT_TRUE(
        writeDicomImage(storedImage(1), cd.filePath("DICOM/00000001"), DicomFileLayout::WithMetaHeader).ok);
    ASSERT_TRUE(
        writeDicomImage(storedImage(2), cd.filePath("DICOM/lower.dcm"), DicomFileLayout::WithMetaHeader).ok);
    const DicomDirSummary summary = buildDicomDir(cd.filePath("DICOMDIR"), "VEXADICOM", cd.path());
    EXPECT_FALSE(summary.result.ok);
    EXPECT_TRUE(summary.result.error.contains("lower.dcm"));
    EXPECT_EQ(fixtures::dicomDirImageFiles(cd.filePath("DICOMDIR")), QStringList{"DICOM/00000001"});
}

} // namespace
