#include "DicomFixtures.h"
#include "dicom/DicomLoader.h"
#include "dicom/JpegPictures.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <malloc.h>

using namespace vexa;

namespace {

TEST(JpegPictures, previewAveragesDownToTheLongestSide)
{
    Pixels8 radiograph{2048, 2500, 1, std::vector<std::uint8_t>(2048 * 2500, 0)};
    for (int y = 1250; y < 2500; ++y)
        std::fill_n(radiograph.bytes.begin() + y * 2048, 2048, 200);
    const Pixels8 preview = resizedToLongestSide(radiograph, PreviewLongestSide);
    EXPECT_EQ(preview.width, 210);
    EXPECT_EQ(preview.height, 256);
    EXPECT_EQ(preview.bytes.front(), 0);
    EXPECT_EQ(preview.bytes.back(), 200);
    // A small image is never enlarged: it keeps its size and its pixels.
    const Pixels8 tiny{2, 1, 3, {1, 2, 3, 4, 5, 6}};
    const Pixels8 same = resizedToLongestSide(tiny, 256);
    EXPECT_EQ(same.width, 2);
    EXPECT_EQ(same.height, 1);
    EXPECT_EQ(same.bytes, tiny.bytes);
}

// Reference box mean: every target pixel averages its own source box, the
// box edges computed pixel by pixel.
Pixels8 referencePreview(const Pixels8& in, int width, int height)
{
    const auto span = [](int t, int source, int target) {
        const double scale = static_cast<double>(source) / target;
        const int first = std::min(source - 1, static_cast<int>(std::floor(t * scale)));
        return std::pair{first, std::clamp(static_cast<int>(std::ceil((t + 1) * scale)), first + 1, source)};
    };
    Pixels8 out{width, height, in.channels, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto [x0, x1] = span(x, in.width, width);
            const auto [y0, y1] = span(y, in.height, height);
            for (int c = 0; c < in.channels; ++c) {
                unsigned sum = 0;
                for (int v = y0; v < y1; ++v)
                    for (int u = x0; u < x1; ++u)
                        sum += in.bytes[(static_cast<std::size_t>(v) * in.width + u) * in.channels + c];
                const unsigned count = static_cast<unsigned>((x1 - x0) * (y1 - y0));
                out.bytes.push_back(static_cast<std::uint8_t>((sum + count / 2) / count));
            }
        }
    }
    return out;
}

TEST(JpegPictures, previewIsTheRoundedMeanOfEachSourceBox)
{
    const struct {
        int width, height, channels;
    } cases[] = {{2048, 2500, 1}, {1000, 333, 3}, {555, 1111, 1}, {37, 23, 1}, {300, 17, 3}};
    for (const auto& c : cases) {
        Pixels8 in{c.width, c.height, c.channels, {}};
        std::uint32_t state = 12345;
        in.bytes.resize(static_cast<std::size_t>(c.width) * c.height * c.channels);
        for (auto& byte : in.bytes) {
            state = state * 1664525u + 1013904223u;
            byte = static_cast<std::uint8_t>(state >> 24);
        }
        const Pixels8 preview = resizedToLongestSide(in, PreviewLongestSide);
        const Pixels8 expected = referencePreview(in, preview.width, preview.height);
        EXPECT_EQ(std::max(preview.width, preview.height),
            std::min(std::max(c.width, c.height), PreviewLongestSide))
            << c.width << "x" << c.height;
        EXPECT_EQ(preview.channels, c.channels);
        EXPECT_EQ(preview.bytes, expected.bytes) << c.width << "x" << c.height;
    }
}

TEST(JpegPictures, writesBothPicturesThroughTheDefaultWindow)
{
    QTemporaryDir dir;
    NewDicomImage source
        = fixtures::greyImage(300, 200, 12, false, [](int c, int) { return c < 150 ? 1000 : 3000; });
    source.windowCenter = 2000;
    source.windowWidth = 1000; // 1000 is black, 3000 white
    const QString path = dir.filePath("x.v2");
    ASSERT_TRUE(writeDicomImage(source, path, DicomFileLayout::BareImplicitLittle).ok);
    const DicomLoadResult loaded = loadDicomImage(path);
    ASSERT_TRUE(loaded.ok());
    ASSERT_TRUE(writePreviewPicture(*loaded.image, dir.filePath("x.jpeg")).ok);
    ASSERT_TRUE(writeFullSizePicture(*loaded.image, dir.filePath("x.jpg")).ok);
    const QImage preview(dir.filePath("x.jpeg"));
    const QImage full(dir.filePath("x.jpg"));
    EXPECT_EQ(preview.size(), QSize(256, 171));
    EXPECT_EQ(full.size(), QSize(300, 200));
    EXPECT_LT(qGray(full.pixel(10, 10)), 8);
    EXPECT_GT(qGray(full.pixel(290, 10)), 247);
    EXPECT_TRUE(QDir(dir.path()).entryList({"*.tmp", "*~"}, QDir::Files).isEmpty());
    // An unwritable target is a failure, not a silent success.
    EXPECT_FALSE(writeFullSizePicture(*loaded.image, dir.filePath("no/such/folder/x.jpg")).ok);
}

TEST(JpegPictures, previewOfASmallImageIsNoLargerThanItsFullSizePicture)
{
    // A 128 x 128 CT: its preview is the full-size picture, pixel for pixel.
    QTemporaryDir dir;
    const QString path = dir.filePath("ct.v2");
    ASSERT_TRUE(
        writeDicomImage(fixtures::greyImage(128, 128, 12, false, [](int c, int r) { return c * 16 + r * 8; }),
            path, DicomFileLayout::BareImplicitLittle)
            .ok);
    const DefaultWindowPixels windowed = loadDefaultWindowPixels(path);
    ASSERT_TRUE(windowed.ok());
    ASSERT_TRUE(writePreviewPicture(windowed.pixels, dir.filePath("ct.jpeg")).ok);
    ASSERT_TRUE(writeFullSizePicture(windowed.pixels, dir.filePath("ct.jpg")).ok);
    const QImage preview(dir.filePath("ct.jpeg"));
    const QImage full(dir.filePath("ct.jpg"));
    ASSERT_EQ(preview.size(), QSize(128, 128));
    int largest = 0;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
            largest = std::max(largest, std::abs(qGray(preview.pixel(x, y)) - qGray(full.pixel(x, y))));
    EXPECT_LE(largest, 12); // the two qualities differ a little, the pictures do not
}

// One large picture does not leave its encoder buffer with the thread.
TEST(JpegPictures, encoderBufferIsReleasedAfterALargePicture)
{
    const auto heapInUse = [] {
        const struct mallinfo2 info = mallinfo2();
        return static_cast<long long>(info.uordblks + info.hblkhd);
    };
    const Pixels8 small{64, 64, 1, std::vector<std::uint8_t>(64 * 64, 100)};
    Pixels8 large{4000, 4000, 1, std::vector<std::uint8_t>(4000 * 4000)};
    for (std::size_t i = 0; i < large.bytes.size(); ++i)
        large.bytes[i] = static_cast<std::uint8_t>((i * 7) ^ (i >> 12));
    ASSERT_FALSE(encodeJpeg(small, 85).isEmpty()); // the thread's encoder is made
    const long long before = heapInUse();
    ASSERT_GT(encodeJpeg(large, 90).size(), 100000);
    EXPECT_LT(heapInUse() - before, 4LL << 20);
}

TEST(JpegPictures, colourImagesStayColour)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("us.dcm");
    ASSERT_TRUE(writeDicomImage(fixtures::rgbImage(64, 48), path, DicomFileLayout::WithMetaHeader).ok);
    const DicomLoadResult loaded = loadDicomImage(path);
    ASSERT_TRUE(writeFullSizePicture(*loaded.image, dir.filePath("us.dcm.jpg")).ok);
    const QImage full(dir.filePath("us.dcm.jpg"));
    EXPECT_FALSE(full.isGrayscale());
    EXPECT_NEAR(qRed(full.pixel(60, 5)), 60, 6);
}

} // namespace
