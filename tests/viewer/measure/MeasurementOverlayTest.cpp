// The overlay paints the scene through the display's mapping.
#include "MeasurementOverlay.h"
#include <QImage>
#include <gtest/gtest.h>

using namespace vexa;

TEST(MeasurementOverlay, PaintsYellowSegmentsWhereTheMappingPutsThem)
{
    OverlayScene scene;
    scene.drawSegment(1, 1, ScenePoint::at({10, 20}), ScenePoint::at({60, 20}));
    MeasurementOverlay overlay;
    overlay.resize(200, 200);
    overlay.setScene(&scene);
    const auto yellowAt
        = [&](int x, int y) { return overlay.grab().toImage().pixelColor(x, y) == QColor(255, 255, 0); };

    EXPECT_TRUE(yellowAt(35, 20));
    EXPECT_FALSE(yellowAt(35, 30));

    overlay.setMapping([](QPointF p) { return (p - QPointF(5, 5)) * 2.0; }); // zoom 200 %, panned
    EXPECT_TRUE(yellowAt(60, 30));
    EXPECT_TRUE(yellowAt(100, 30));
    EXPECT_FALSE(yellowAt(35, 20));

    scene.removeDrawing(1);
    EXPECT_FALSE(yellowAt(60, 30));
}

TEST(MeasurementOverlay, CoversTheDisplayItIsAttachedTo)
{
    QWidget display;
    display.resize(300, 200);
    auto* overlay = new MeasurementOverlay;
    overlay->attachTo(&display);
    display.show();
    EXPECT_EQ(overlay->geometry(), display.rect());
    display.resize(640, 480);
    EXPECT_EQ(overlay->geometry(), QRect(0, 0, 640, 480));
    EXPECT_TRUE(overlay->testAttribute(Qt::WA_TransparentForMouseEvents));
}
