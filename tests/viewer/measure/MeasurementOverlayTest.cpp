// The overlay paints the scene through the display's mapping.
#include "viewer/overlay/MeasurementOverlay.h"
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

// On a white image a yellow line or label alone hardly reads: both carry a
// thin dark outline.
TEST(MeasurementOverlay, LinesAndLabelsHaveADarkOutline)
{
    OverlayScene scene;
    scene.drawSegment(1, 1, ScenePoint::at({10, 20}), ScenePoint::at({60, 20}));
    scene.drawText(2, QStringLiteral("I"), ScenePoint::at({100, 100}), 40);
    QWidget white;
    white.resize(200, 200);
    white.setStyleSheet(QStringLiteral("background: white;"));
    auto* overlay = new MeasurementOverlay;
    overlay->attachTo(&white);
    overlay->setScene(&scene);
    const QImage shown = white.grab().toImage();
    EXPECT_EQ(shown.pixelColor(35, 20), QColor(255, 255, 0));
    EXPECT_LT(qGray(shown.pixel(35, 19)), 100);
    EXPECT_LT(qGray(shown.pixel(35, 21)), 100);
    int dark = 0, yellow = 0;
    for (int y = 50; y < 110; ++y)
        for (int x = 95; x < 130; ++x) {
            const QColor c = shown.pixelColor(x, y);
            dark += qGray(c.rgb()) < 100;
            yellow += c.red() > 200 && c.green() > 200 && c.blue() < 80;
        }
    EXPECT_GT(yellow, 20);
    EXPECT_GT(dark, 20) << "the label's outline";
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
