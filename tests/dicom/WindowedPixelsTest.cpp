#include "DicomFixtures.h"
#include "dicom/DicomLoader.h"
#include "dicom/DisplayLut.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <optional>

using namespace vexa;
using vexa::fixtures::greyImage;

namespace {

struct WindowCase {
    const char* name;
    int bitsStored;
    bool signedPixels;
    int (*value)(int, int); // stored value, written as 16 (or 8) raw bits
    std::optional<double> slope;
    std::optional<double> intercept;
    std::optional<double> center; // with width: the file's window
    std::optional<double> width;
    bool monochrome1;
    DicomFileLayout layout;
};

void PrintTo(const WindowCase& c, std::ostream* os)
{
    *os << c.name;
}

class WindowedPixels : public ::testing::TestWithParam<WindowCase> { };

// 300 x 200 pixels: more than one strip of samples, so strip edges are covered.
TEST_P(WindowedPixels, samplesGiveTheBytesOfTheDecodedImage)
{
    const WindowCase& c = GetParam();
    NewDicomImage source = greyImage(300, 200, c.bitsStored, c.signedPixels, c.value);
    source.rescaleSlope = c.slope;
    source.rescaleIntercept = c.intercept;
    source.windowCenter = c.center;
    source.windowWidth = c.width;
    if (c.monochrome1)
        source.photometric = QStringLiteral("MONOCHROME1");
    QTemporaryDir dir;
    const QString path = dir.filePath("img.v2");
    ASSERT_TRUE(writeDicomImage(source, path, c.layout).ok);

    const DicomLoadResult decoded = loadDicomImage(path);
    ASSERT_TRUE(decoded.ok()) << decoded.error.toStdString();
    const DefaultWindowPixels windowed = loadDefaultWindowPixels(path);
    ASSERT_TRUE(windowed.ok()) << windowed.error.toStdString();
    EXPECT_EQ(windowed.pixels.width, 300);
    EXPECT_EQ(windowed.pixels.height, 200);
    EXPECT_EQ(windowed.pixels.channels, 1);
    const auto expected = renderPixels8(*decoded.image, decoded.image->defaultWindow);
    ASSERT_EQ(windowed.pixels.bytes.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(windowed.pixels.bytes[i], expected[i]) << "pixel " << i;
    // Not all one grey: the case exercises the window.
    const auto [low, high] = std::minmax_element(expected.begin(), expected.end());
    EXPECT_LT(*low, *high);
}

constexpr auto bare = DicomFileLayout::BareImplicitLittle;
constexpr auto withMetaHeader = DicomFileLayout::WithMetaHeader;
constexpr std::nullopt_t none = std::nullopt;

INSTANTIATE_TEST_SUITE_P(DepthsSignsRescalesAndPolarities, WindowedPixels,
    ::testing::Values(WindowCase{"u8_range", 8, false, [](int c, int r) { return (c + r) % 256; }, none, none,
                          none, none, false, bare},
        WindowCase{"u8_window_mono1", 8, false, [](int c, int) { return c % 200; }, none, none, 100.0, 80.0,
            true, withMetaHeader},
        WindowCase{"u12_window", 12, false, [](int c, int r) { return c * 13 + r; }, none, none, 1700.0,
            2600.0, false, bare},
        WindowCase{"u12_high_bits_set", 12, false, [](int c, int r) { return 0xF000 | (c * 13 + r); }, none,
            none, none, none, false, bare},
        WindowCase{"u12_rescale_ct", 12, false, [](int c, int r) { return c * 10 + r; }, 1.0, -1024.0, 40.0,
            400.0, false, withMetaHeader},
        WindowCase{"u12_fractional_rescale", 12, false, [](int c, int r) { return c * 13 + r; }, 0.5, 0.25,
            none, none, false, bare},
        WindowCase{"s12_range", 12, true, [](int c, int r) { return -2000 + c * 13 + r; }, none, none, none,
            none, false, bare},
        WindowCase{"u16_window_mono1", 16, false, [](int c, int r) { return c * 200 + r; }, none, none,
            30000.0, 50000.0, true, bare},
        WindowCase{"s16_range", 16, true, [](int c, int r) { return -30000 + c * 200 + r; }, none, none, none,
            none, false, withMetaHeader},
        WindowCase{"u16_wide_rescale_window", 16, false, [](int c, int r) { return c * 200 + r; }, 4.0, -5.0,
            100000.0, 150000.0, false, bare},
        WindowCase{"s16_negative_slope", 16, true, [](int c, int r) { return -300 + c * 2 + r; }, -3.0, 7.0,
            none, none, true, withMetaHeader}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WindowedPixelsOtherImages, aSmallImageReadWithItsHeaderGivesTheSameBytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("small.v2");
    const NewDicomImage source = greyImage(20, 10, 12, false, [](int c, int r) { return c * 150 + r; });
    ASSERT_TRUE(writeDicomImage(source, path, DicomFileLayout::BareImplicitLittle).ok);
    const DefaultWindowPixels windowed = loadDefaultWindowPixels(path);
    ASSERT_TRUE(windowed.ok()) << windowed.error.toStdString();
    const DicomLoadResult decoded = loadDicomImage(path);
    EXPECT_EQ(windowed.pixels.bytes, renderPixels8(*decoded.image, decoded.image->defaultWindow));
}

TEST(WindowedPixelsOtherImages, colourAndFailuresGoThroughTheGeneralPath)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("us.dcm");
    ASSERT_TRUE(writeDicomImage(fixtures::rgbImage(64, 48), path, DicomFileLayout::WithMetaHeader).ok);
    const DefaultWindowPixels colour = loadDefaultWindowPixels(path);
    ASSERT_TRUE(colour.ok()) << colour.error.toStdString();
    EXPECT_EQ(colour.pixels.channels, 3);
    const DicomLoadResult decoded = loadDicomImage(path);
    EXPECT_EQ(colour.pixels.bytes, renderPixels8(*decoded.image, decoded.image->defaultWindow));

    EXPECT_FALSE(loadDefaultWindowPixels(dir.filePath("missing.v2")).ok());
    const QString junk = dir.filePath("junk.v2");
    QFile file(junk);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a DICOM file at all");
    file.close();
    const DefaultWindowPixels failed = loadDefaultWindowPixels(junk);
    EXPECT_FALSE(failed.ok());
    EXPECT_FALSE(failed.error.isEmpty());
}

} // namespace
