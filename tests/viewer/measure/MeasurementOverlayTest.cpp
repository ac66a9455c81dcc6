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
