#include "dicom/DicomLoader.h"
#include "DicomFixtures.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vexa;
using vexa::fixtures::greyImage;

namespace {

class DicomLoaderTest : public ::testing::Test {
protected:
    QTemporaryDir dir_;

    QString write(const NewDicomImage& image, DicomFileLayout layout, const QString& name = "img.v2")
    {
        const QString path = dir_.filePath(name);
        EXPECT_TRUE(writeDicomImage(image, path, layout).ok);
        return path;
    }
};

struct GreyCase {
    const char* name;
    int bitsStored;
    bool signedPixels;
    DicomFileLayout layout;
    int (*value)(int, int);
};

class GreyDecoding : public DicomLoaderTest, public ::testing::WithParamInterface<GreyCase> { };

TEST_P(GreyDecoding, keepsEveryValueAndTheRange)
{
    const GreyCase& c = GetParam();
    const NewDicomImage source = greyImage(7, 5, c.bitsStored, c.signedPixels, c.value);
    const DicomLoadResult loaded = loadDicomImage(write(source, c.layout));
    ASSERT_TRUE(loaded.ok()) << loaded.error.toStdString();
    const DicomImageData& image = *loaded.image;
    EXPECT_EQ(image.columns, 7);
    EXPECT_EQ(image.rows, 5);
    EXPECT_TRUE(image.monochrome);
    for (int r = 0; r < 5; ++r)
        for (int col = 0; col < 7; ++col)
            ASSERT_EQ(image.valueAt(col, r), c.value(col, r)) << col << "," << r;
    EXPECT_EQ(image.minValue, c.value(0, 0));
    EXPECT_EQ(image.maxValue, c.value(6, 4));
    // No window in the file: the pixel range is the window.
    EXPECT_DOUBLE_EQ(image.defaultWindow.width, image.maxValue - image.minValue + 1.0);
}

INSTANTIATE_TEST_SUITE_P(BitDepthsAndLayouts, GreyDecoding,
    ::testing::Values(GreyCase{"u8_bare", 8, false, DicomFileLayout::BareImplicitLittle,
                          [](int c, int r) { return c * 10 + r; }},
        GreyCase{"u12_meta_header", 12, false, DicomFileLayout::WithMetaHeader,
            [](int c, int r) { return c * 600 + r; }},
        GreyCase{"u16_bare", 16, false, DicomFileLayout::BareImplicitLittle,
            [](int c, int r) { return c * 10000 + r; }},
        GreyCase{"s16_meta_header", 16, true, DicomFileLayout::WithMetaHeader,
            [](int c, int r) { return -30000 + c * 9000 + r; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DicomLoaderTest, appliesRescaleAndTakesTheFileWindow)
{
    NewDicomImage source = greyImage(4, 4, 12, false, [](int c, int) { return c * 100; });
    source.rescaleIntercept = -1024;
    source.rescaleSlope = 1;
    source.windowCenter = 40;
    source.windowWidth = 400;
    const DicomLoadResult loaded = loadDicomImage(write(source, DicomFileLayout::BareImplicitLittle));
    ASSERT_TRUE(loaded.ok());
    EXPECT_EQ(loaded.image->valueAt(3, 0), 300 - 1024);
    EXPECT_EQ(loaded.image->minValue, -1024);
    EXPECT_DOUBLE_EQ(loaded.image->defaultWindow.center, 40);
    EXPECT_DOUBLE_EQ(loaded.image->defaultWindow.width, 400);
}

TEST_F(DicomLoaderTest, readsPixelSpacingThenImagerSpacingElseAssumesOneMillimetre)
{
    NewDicomImage source = greyImage(4, 4, 8, false, [](int, int) { return 1; });
    source.imagerPixelSpacing = std::pair{0.2, 0.1};
    auto spacing = loadDicomImage(write(source, DicomFileLayout::WithMetaHeader, "a.dcm")).image->spacing;
    EXPECT_DOUBLE_EQ(spacing.row, 0.2);
    EXPECT_DOUBLE_EQ(spacing.column, 0.1);
    EXPECT_TRUE(spacing.atDetector);
    source.pixelSpacing = std::pair{0.5, 0.25};
    spacing = loadDicomImage(write(source, DicomFileLayout::WithMetaHeader, "b.dcm")).image->spacing;
    EXPECT_DOUBLE_EQ(spacing.row, 0.5);
    EXPECT_DOUBLE_EQ(spacing.column, 0.25);
    EXPECT_FALSE(spacing.atDetector);
    source.pixelSpacing.reset();
    source.imagerPixelSpacing.reset();
    spacing = loadDicomImage(write(source, DicomFileLayout::WithMetaHeader, "c.dcm")).image->spacing;
    EXPECT_FALSE(spacing.fromFile);
    EXPECT_DOUBLE_EQ(spacing.column, 1.0);
}

TEST_F(DicomLoaderTest, monochrome1StartsInvertedAndColourKeepsItsTriplets)
{
    NewDicomImage mono1 = greyImage(3, 3, 8, false, [](int c, int) { return c; });
    mono1.photometric = QStringLiteral("MONOCHROME1");
    EXPECT_TRUE(loadDicomImage(write(mono1, DicomFileLayout::WithMetaHeader, "m1.dcm")).image->invertedGrey);

    const DicomLoadResult colour
        = loadDicomImage(write(fixtures::rgbImage(5, 4), DicomFileLayout::WithMetaHeader, "c.dcm"));
    ASSERT_TRUE(colour.ok());
    EXPECT_FALSE(colour.image->monochrome);
    const std::size_t at = (2 * 5 + 3) * 3;
    EXPECT_EQ(colour.image->rgb[at], 3);
    EXPECT_EQ(colour.image->rgb[at + 1], 2);
    EXPECT_EQ(colour.image->rgb[at + 2], 7);
}

TEST_F(DicomLoaderTest, multiFrameShowsTheFirstFrame)
{
    NewDicomImage source = greyImage(4, 2, 8, false, [](int c, int r) { return r < 2 ? c : 200; });
    // A second frame of 200s follows the first.
    source.pixelData.append(QByteArray(8, char(200)));
    source.frames = 2;
    const DicomLoadResult loaded = loadDicomImage(write(source, DicomFileLayout::BareImplicitLittle));
    ASSERT_TRUE(loaded.ok()) << loaded.error.toStdString();
    EXPECT_EQ(loaded.image->frameCount, 2);
    EXPECT_EQ(loaded.image->maxValue, 3);
}

TEST_F(DicomLoaderTest, badInputFailsWithAReason)
{
    const QString good = write(greyImage(64, 64, 12, false, [](int c, int r) { return c + r; }),
        DicomFileLayout::WithMetaHeader, "good.dcm");
    QFile goodFile(good);
    ASSERT_TRUE(goodFile.open(QIODevice::ReadOnly));
    const QByteArray bytes = goodFile.readAll();

    const auto writeBytes = [&](const QString& name, const QByteArray& content) {
        QFile f(dir_.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return f.fileName();
    };
    NewDicomImage zero = greyImage(1, 1, 8, false, [](int, int) { return 0; });
    zero.columns = 0;
    const QStringList badFiles = {
        dir_.filePath("missing.v2"),
        writeBytes("empty.v2", {}),
        writeBytes("garbage.v2", QByteArray(5000, 'x')),
        writeBytes("truncated.dcm", bytes.left(bytes.size() / 2)),
        writeBytes("header_only.dcm", bytes.left(300)),
        write(zero, DicomFileLayout::BareImplicitLittle, "zero.v2"),
        QString(),
    };
    for (const QString& path : badFiles) {
        const DicomLoadResult loaded = loadDicomImage(path);
        EXPECT_FALSE(loaded.ok()) << path.toStdString();
        EXPECT_FALSE(loaded.error.isEmpty()) << path.toStdString();
    }
    EXPECT_FALSE(loadDicomImageFromMemory(bytes.constData(), 1000).ok());
    EXPECT_TRUE(loadDicomImageFromMemory(bytes.constData(), bytes.size()).ok());
}

} // namespace
