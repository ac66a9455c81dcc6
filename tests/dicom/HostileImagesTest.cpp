// Files that lie, are damaged or carry values out of every range: each one
// loads or fails with a French reason, for the viewer as for the pictures,
// without crashing or allocating what its header claims.
#include "DicomFixtures.h"
#include "dicom/DicomLoader.h"
#include "dicom/DicomTags.h"
#include "dicom/DisplayLut.h"
#include "dicom/StandardDicomFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace vexa;
using vexa::fixtures::copyWithElements;
using vexa::fixtures::greyImage;
using vexa::fixtures::pydicomFile;

namespace {

class HostileImagesTest : public ::testing::Test {
protected:
    QTemporaryDir dir_;

    // Both readers refuse the file quickly, with a reason containing `words`.
    void expectRefused(const QString& path, const QString& words)
    {
        QElapsedTimer timer;
        timer.start();
        const DicomLoadResult loaded = loadDicomImage(path);
        EXPECT_FALSE(loaded.ok()) << path.toStdString();
        EXPECT_TRUE(loaded.error.contains(words)) << loaded.error.toStdString();
        const DefaultWindowPixels windowed = loadDefaultWindowPixels(path);
        EXPECT_FALSE(windowed.ok()) << path.toStdString();
        EXPECT_TRUE(windowed.error.contains(words)) << windowed.error.toStdString();
        EXPECT_LT(timer.elapsed(), 5000) << "took as long as decoding what the header claims";
    }
};

TEST_F(HostileImagesTest, rleSegmentOffsetOutsideItsFragmentIsRefused)
{
    expectRefused(
        fixtures::fixtureFile("rle-segment-offset-outside-fragment.dcm"), QStringLiteral("endommagée"));
    // The same check lets sound RLE images through.
    ASSERT_TRUE(loadDicomImage(pydicomFile("MR_small_RLE.dcm")).ok());
}

TEST_F(HostileImagesTest, compressedImageWhoseHeaderClaimsMorePixelsIsRefusedBeforeDecoding)
{
    const struct {
        const char* file;
        const char* words;
    } cases[] = {
        {"JPEG-lossy.dcm",
            "incohérente : son en-tête annonce 16384 × 16384 pixels, ses données compressées en "
            "contiennent 256 × 1024"},
        {"MR_small_jpeg_ls_lossless.dcm", "incohérente"},
        {"SC_rgb_jpeg_dcmtk.dcm", "incohérente"},
        {"MR_small_RLE.dcm", "endommagée"},
    };
    for (const auto& c : cases) {
        const QString path = dir_.filePath(c.file);
        ASSERT_TRUE(copyWithElements(pydicomFile(c.file), path,
            {QStringLiteral("(0028,0010)=16384"), QStringLiteral("(0028,0011)=16384")}));
        expectRefused(path, QString::fromUtf8(c.words));
    }
}

TEST_F(HostileImagesTest, anImageOverTheMemoryLimitIsRefusedWithTheFigures)
{
    const QString path = dir_.filePath("big.v2");
    ASSERT_TRUE(writeDicomImage(greyImage(1024, 1024, 12, false, [](int c, int r) { return (c + r) % 4096; }),
        path, DicomFileLayout::BareImplicitLittle)
                    .ok);
    const QString rle = dir_.filePath("big_rle.dcm");
    ASSERT_TRUE(fixtures::runDcmtkTool(QStringLiteral("dcmcrle"), {path, rle}));
    for (const QString& file : {path, rle}) {
        DicomLoadOptions options;
        options.maxImageBytes = 2u << 20;
        const DicomLoadResult refused = loadDicomImage(file, options);
        ASSERT_FALSE(refused.ok());
        EXPECT_TRUE(refused.error.startsWith(QStringLiteral("L'image est trop grande : il faudrait ")))
            << refused.error.toStdString();
        EXPECT_TRUE(refused.error.endsWith(QStringLiteral("la limite est de 2 Mo.")))
            << refused.error.toStdString();
        EXPECT_FALSE(loadDefaultWindowPixels(file, 512u << 10).ok());
        // The default limit takes it.
        EXPECT_TRUE(loadDicomImage(file).ok());
        EXPECT_TRUE(loadDefaultWindowPixels(file).ok());
    }
}

// The user's limit, set once at start-up, holds for every load that names none.
TEST_F(HostileImagesTest, theProgramWideLimitAppliesToEveryLoad)
{
    const QString path = dir_.filePath("big.v2");
    ASSERT_TRUE(writeDicomImage(greyImage(1024, 1024, 12, false, [](int c, int r) { return (c + r) % 4096; }),
        path, DicomFileLayout::BareImplicitLittle)
                    .ok);
    setImageMemoryLimit(512u << 10); // less than the picture of its strips takes
    const DicomLoadResult refused = loadDicomImage(path);
    const DefaultWindowPixels windowed = loadDefaultWindowPixels(path);
    setImageMemoryLimit(DefaultMaxImageBytes);
    ASSERT_FALSE(refused.ok());
    EXPECT_TRUE(refused.error.endsWith(QStringLiteral("la limite est de 1 Mo.")))
        << refused.error.toStdString();
    EXPECT_FALSE(windowed.ok());
    EXPECT_TRUE(loadDicomImage(path).ok());
}

TEST_F(HostileImagesTest, elementLongerThanTheFileIsRefused)
{
    // An element stating nearly 4 GB in a file of a few hundred bytes.
    NewDicomImage image = greyImage(4, 4, 8, false, [](int c, int) { return c; });
    const QString path = dir_.filePath("long.v2");
    ASSERT_TRUE(writeDicomImage(image, path, DicomFileLayout::BareImplicitLittle).ok);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    // Implicit VR: tag (0010,0010), then a 32-bit length.
    const QByteArray nameTag("\x10\x00\x10\x00", 4);
    const qsizetype at = bytes.indexOf(nameTag);
    ASSERT_GE(at, 0);
    bytes.replace(at + 4, 4, QByteArray("\x00\xFF\xFF\xFF", 4));
    file.seek(0);
    file.write(bytes);
    file.close();
    expectRefused(path, QStringLiteral("Fichier DICOM illisible"));
    EXPECT_FALSE(loadDicomImageFromMemory(bytes.constData(), static_cast<std::size_t>(bytes.size())).ok());
}

// The DICOM data view opens files as the images are: a deflated data set is
// inflated under the limit into a file, not by DCMTK in memory where each
// value takes the length it claims. Run with 512 MB of address space to
// spare, that allocation fails and shows as "Virtual Memory exhausted".
TEST_F(HostileImagesTest, dataViewReadsDeflatedFilesWithoutAllocatingWhatTheyClaim)
{
    const QString crashes
        = qEnvironmentVariable("VEXA_SOURCE_DIR") + QStringLiteral("/tests/dicom/fuzz/crashes/");
    for (const char* name : {"deflated-element-of-3-gb.dcm", "deflated-element-longer-than-its-data.dcm"}) {
        const QString path = crashes + QString::fromLatin1(name);
        ASSERT_TRUE(QFile::exists(path));
        const auto readWithLittleMemory = [&path] {
            QFile statm(QStringLiteral("/proc/self/statm"));
            statm.open(QIODevice::ReadOnly);
            const rlim_t used = statm.readAll().split(' ').value(0).toULongLong() * rlim_t(getpagesize());
            const rlimit limit{used + (rlim_t(512) << 20), used + (rlim_t(512) << 20)};
            setrlimit(RLIMIT_AS, &limit);
            const QString text = dicomTagsText(path);
            std::fprintf(stderr, "%s\n", text.left(200).toUtf8().constData());
            std::exit(
                text.startsWith(QStringLiteral("Fichier DICOM illisible : ")) && !text.contains("Memory")
                    ? 0
                    : 1);
        };
        EXPECT_EXIT(readWithLittleMemory(), ::testing::ExitedWithCode(0), "illisible") << name;
    }
    // A sound deflated file reads with its meta header and its names.
    const QString deflated = dicomTagsText(pydicomFile("image_dfl.dcm"));
    EXPECT_TRUE(deflated.contains(QStringLiteral("=DeflatedLittleEndianExplicit"))) << deflated.toStdString();
    EXPECT_TRUE(deflated.contains(QStringLiteral("(0010,0010) PN"))) << deflated.toStdString();
}

// A directory record whose type text is mangled makes DCMTK's reader throw a
// C++ exception (std::out_of_range from DcmByteString::verify): the viewer,
// the data view and the CD's copy each refuse the file instead of ending the
// program.
TEST_F(HostileImagesTest, aReaderThatThrowsGivesAFrenchRefusal)
{
    const QString path = qEnvironmentVariable("VEXA_SOURCE_DIR")
        + QStringLiteral("/tests/dicom/fuzz/crashes/directory-record-type-that-breaks-its-check.dcm");
    ASSERT_TRUE(QFile::exists(path));
    expectRefused(path, QStringLiteral("Fichier DICOM illisible : données invalides"));
    EXPECT_TRUE(
        dicomTagsText(path).startsWith(QStringLiteral("Fichier DICOM illisible : données invalides")));
    const DicomResult copied = writeStandardDicomFile(path, dir_.filePath(QStringLiteral("copy.dcm")));
    EXPECT_FALSE(copied.ok);
    EXPECT_TRUE(copied.error.contains(QStringLiteral("données invalides"))) << copied.error.toStdString();
    EXPECT_FALSE(QFile::exists(dir_.filePath(QStringLiteral("copy.dcm"))));
}

// Rescale values and windows out of every range: the stored values are
// shown as they are, through the pixel range.
struct RescaleCase {
    const char* name;
    const char* slope;
    const char* intercept;
    const char* center;
    const char* width;
};

class OutOfRangeValues : public HostileImagesTest, public ::testing::WithParamInterface<RescaleCase> { };

TEST_P(OutOfRangeValues, fallBackToStoredValuesAndThePixelRange)
{
    const RescaleCase& c = GetParam();
    const auto value = [](int col, int row) { return col * 1000 + row; };
    const QString stored = dir_.filePath("plain.dcm");
    ASSERT_TRUE(
        writeDicomImage(greyImage(9, 7, 16, false, value), stored, DicomFileLayout::WithMetaHeader).ok);
    const QString edited = dir_.filePath("edited.dcm");
    ASSERT_TRUE(copyWithElements(stored, edited,
        {QStringLiteral("(0028,1053)=%1").arg(c.slope), QStringLiteral("(0028,1052)=%1").arg(c.intercept),
            QStringLiteral("(0028,1050)=%1").arg(c.center), QStringLiteral("(0028,1051)=%1").arg(c.width)}));
    // Through the samples, and through the decoder (RLE).
    const QString rle = dir_.filePath("edited_rle.dcm");
    ASSERT_TRUE(fixtures::runDcmtkTool(QStringLiteral("dcmcrle"), {edited, rle}));
    for (const QString& path : {edited, rle}) {
        const DicomLoadResult loaded = loadDicomImage(path);
        ASSERT_TRUE(loaded.ok()) << loaded.error.toStdString();
        const DicomImageData& image = *loaded.image;
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 9; ++col)
                ASSERT_EQ(image.valueAt(col, row), value(col, row)) << path.toStdString();
        EXPECT_DOUBLE_EQ(image.defaultWindow.center, (0 + 8006 + 1) / 2.0);
        EXPECT_DOUBLE_EQ(image.defaultWindow.width, 8007);
        const DefaultWindowPixels windowed = loadDefaultWindowPixels(path);
        ASSERT_TRUE(windowed.ok());
        EXPECT_EQ(windowed.pixels.bytes, renderPixels8(image, image.defaultWindow));
        EXPECT_EQ(windowed.pixels.bytes.front(), 0);
        EXPECT_EQ(windowed.pixels.bytes.back(), 255);
    }
}

INSTANTIATE_TEST_SUITE_P(RescaleAndWindow, OutOfRangeValues,
    ::testing::Values(RescaleCase{"intercept3e9", "1", "3e9", "nan", "inf"},
        RescaleCase{"interceptNearInt32Max", "1", "2147483600", "100", "inf"},
        RescaleCase{"slope1e300", "1e300", "0", "nan", "100"},
        RescaleCase{"slopeNaN", "nan", "0", "-inf", "nan"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
