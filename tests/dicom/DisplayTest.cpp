#include "DicomFixtures.h"
#include "dicom/DisplayLut.h"
#include "dicom/ViewGeometry.h"
#include "dicom/ViewRenderer.h"

#include <gtest/gtest.h>

using namespace vexa;

namespace {

TEST(WindowedGrey, followsTheDicomLinearFunction)
{
    const VoiWindow window{100, 201}; // values 0..200 spread over 0..255
    const struct {
        double value;
        int grey;
    } cases[] = {{-5, 0}, {-0.5, 0}, {0, 1}, {99.5, 128}, {200, 255}, {500, 255}};
    for (const auto& c : cases)
        EXPECT_EQ(windowedGrey(c.value, window), c.grey) << c.value;
    // A one-wide window is a threshold.
    EXPECT_EQ(windowedGrey(9, {10, 1}), 0);
    EXPECT_EQ(windowedGrey(10, {10, 1}), 255);
}

TEST(DisplayLut, coversTheWholeRangeWithPolarityAndWideRangesShareEntries)
{
    DicomImageData image;
    image.minValue = -1024;
    image.maxValue = 3071;
    const DisplayLut lut = makeDisplayLut(image, {1024, 4096}, false);
    EXPECT_EQ(lut.grey.size(), 4096u);
    EXPECT_EQ(qRed(lut.colourOf(-1024)), 0);
    EXPECT_EQ(qRed(lut.colourOf(3071)), 255);
    const DisplayLut inverted = makeDisplayLut(image, {1024, 4096}, true);
    EXPECT_EQ(qRed(inverted.colourOf(-1024)), 255);

    image.minValue = -2'000'000'000;
    image.maxValue = 2'000'000'000;
    const DisplayLut wide = makeDisplayLut(image, {0, 4e9}, false);
    EXPECT_LE(wide.grey.size(), 65536u);
    EXPECT_EQ(qRed(wide.colourOf(image.maxValue)), 255);
}

TEST(ViewGeometry, mapsImageToScreenWithZoomAndOffsets)
{
    // screen = zoom/100 * (image - offset / (zoom/100))
    const struct {
        double image;
        int zoom, offset;
        double screen;
    } cases[] = {{10, 100, 0, 10}, {10, 200, 0, 20}, {10, 200, 6, 14}, {10, 50, -20, 25}, {0, 300, -9, 9}};
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(imageToScreen(c.image, c.zoom, c.offset), c.screen);
        EXPECT_DOUBLE_EQ(screenToImage(c.screen, c.zoom, c.offset), c.image);
    }
    const ViewGeometry g{250, 30, -12};
    const QPointF p = imageToScreen(QPointF(7, 9), g);
    EXPECT_DOUBLE_EQ(p.x(), 2.5 * 7 - 30);
    EXPECT_DOUBLE_EQ(p.y(), 2.5 * 9 + 12);
    EXPECT_EQ(screenToImage(p, g), QPointF(7, 9));
}

TEST(ViewGeometry, fitsCentresAndZoomsAboutAPoint)
{
    EXPECT_EQ(fitZoomLevel({2048, 2500}, {800, 600}), 24);
    EXPECT_EQ(fitZoomLevel({100, 50}, {400, 400}), 400);
    const ViewGeometry fitted = centredGeometry({100, 50}, {400, 400}, 400);
    EXPECT_EQ(fitted.offsetX, 0);
    EXPECT_EQ(fitted.offsetY, -100); // 200 high image in 400 high view
    const ViewGeometry zoomed = zoomedAbout({100, 10, 20}, 200, QPointF(50, 40));
    EXPECT_EQ(screenToImage(QPointF(50, 40), zoomed), QPointF(60, 60));
}

TEST(ViewRenderer, drawsTheImagePixelUnderEachScreenPixel)
{
    const NewDicomImage source = fixtures::greyImage(4, 2, 8, false, [](int c, int r) { return c * 50 + r; });
    DicomImageData image;
    image.columns = 4;
    image.rows = 2;
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 4; ++c)
            image.values.push_back(c * 50 + r);
    image.minValue = 0;
    image.maxValue = 151;
    const DisplayLut lut = makeDisplayLut(image, {128, 256}, false); // identity on 0..255
    const QImage frame = renderView(image, lut, {200, 2, -2}, QSize(10, 6), qRgb(9, 9, 9));
    // Image origin at screen (-2, 2): column c covers screen x = 2c - 2 .. 2c - 1.
    EXPECT_EQ(frame.pixel(0, 2), qRgb(50, 50, 50));
    EXPECT_EQ(frame.pixel(5, 4), qRgb(151, 151, 151));
    EXPECT_EQ(frame.pixel(6, 2), qRgb(9, 9, 9)); // right of the image
    EXPECT_EQ(frame.pixel(0, 1), qRgb(9, 9, 9)); // above it
    EXPECT_EQ(frame.pixel(0, 6 - 1), qRgb(51, 51, 51));
}

} // namespace
