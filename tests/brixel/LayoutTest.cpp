// Layout arithmetic and the library's own rounding.
#include "ButtonLayout.h"
#include <brixel/Twips.h>

#include "QtPrinters.h"
#include <gtest/gtest.h>

using namespace brixel;

TEST(BrixelTwips, RoundsHalvesToTheEvenNeighbour)
{
    const struct {
        double value;
        int expected;
    } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2}, {292.5, 292}, {67.5, 68},
        {90.5, 90}, {1.2, 1}, {1.7, 2}, {-1.7, -2}};
    for (const auto& c : cases)
        EXPECT_EQ(roundHalfEven(c.value), c.expected) << c.value;
    EXPECT_EQ(twipsToPixels(292), 19);
    EXPECT_EQ(twipsToPixels(22.5), 2); // 1.5 pixels
    EXPECT_EQ(pixelsToTwips(20), 300);
}

TEST(BrixelLayout, PlacesPictureAndCaption)
{
    const struct {
        const char* what;
        LayoutInput in;
        QPoint picture;
        QPoint caption;
    } cases[] = {
        {"picture left of caption, halves to even", {true, 240, 240, 75, 600, 195, 1500, 375, pdaLeft},
            {292, 68}, {607, 90}},
        {"sum with a half is rounded as a whole", {true, 240, 240, 75, 600, 195, 1500, 374, pdaLeft},
            {292, 67}, {607, 90}},
        {"picture alone is centred", {true, 240, 240, 0, 0, 195, 1500, 375, pdaLeft}, {630, 68}, {870, 90}},
        {"caption taller than picture", {true, 90, 90, 75, 600, 195, 1500, 375, pdaLeft}, {368, 142},
            {533, 90}},
        {"no picture: caption centred", {false, 0, 0, 0, 600, 195, 1500, 375, pdaLeft}, {0, 0}, {450, 90}},
        {"too narrow: starts at the left edge", {true, 240, 240, 75, 600, 195, 300, 375, pdaLeft}, {0, 68},
            {315, 90}},
        {"picture above caption", {true, 240, 240, 75, 600, 195, 1500, 600, pdaTop}, {630, 45}, {450, 360}},
        {"picture above a narrower caption", {true, 240, 240, 75, 120, 195, 1500, 600, pdaTop}, {630, 45},
            {690, 360}},
    };
    for (const auto& c : cases) {
        const LayoutResult out = computeLayout(c.in);
        if (c.in.hasPicture) {
            EXPECT_EQ(out.picture, c.picture) << c.what;
        }
        EXPECT_EQ(out.caption, c.caption) << c.what;
    }
}
