// Distance and angle formulas and the texts of their results.
#include "viewer/measure/Mesures.h"
#include "viewer/measure/MeasurePresets.h"
#include <cmath>
#include <gtest/gtest.h>

using namespace vexa;

namespace {
const QLocale French(QLocale::French, QLocale::France);
const QLocale English(QLocale::English, QLocale::UnitedStates);
} // namespace

TEST(Mesures, AngleAtVertex)
{
    struct Case {
        double ax, ay, bx, by, expected;
    };
    // Vertex (100, 100) throughout.
    const Case cases[] = {
        {110, 100, 100, 110, 90.0}, {110, 100, 110, 110, 45.0}, {110, 100, 90, 100, 180.0},
        {110, 100, 110, 100, 0.0}, {110, 105, 97, 107, 86.6335}, {100, 90, 110, 100, 90.0}, // across the axis
        {90, 99, 90, 101, 11.4212}, {100, 100, 110, 110, 0.0}, // empty ray
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(angleAtVertex(c.ax, c.ay, 100, 100, c.bx, c.by), c.expected)
            << c.ax << "," << c.ay << " / " << c.bx << "," << c.by;
}

TEST(Mesures, AngleBetweenLinesDoesNotDependOnClickOrder)
{
    // Two crossing lines, each clicked in both directions.
    const double a = angleBetweenLines(0, 0, 10, 10, 0, 10, 10, 0);
    EXPECT_DOUBLE_EQ(a, 90.0);
    EXPECT_DOUBLE_EQ(angleBetweenLines(10, 10, 0, 0, 10, 0, 0, 10), a);
    EXPECT_DOUBLE_EQ(angleBetweenLines(0, 0, 10, 0, 20, 20, 30, 30), 45.0);
    EXPECT_DOUBLE_EQ(angleBetweenLines(10, 0, 0, 0, 30, 30, 20, 20), 45.0);
    // Vertical line: on equal X the first point is the left end.
    EXPECT_DOUBLE_EQ(angleBetweenLines(0, 0, 10, 0, 5, 0, 5, 10), 90.0);
    EXPECT_DOUBLE_EQ(angleBetweenLines(0, 0, 10, 0, 5, 10, 5, 0), 90.0);
}

TEST(Mesures, DistanceUsesEachDirectionsSpacing)
{
    EXPECT_DOUBLE_EQ(distance(0, 0, 3, 4, 0.5, 0.5), 2.5);
    EXPECT_DOUBLE_EQ(distance(0, 0, 3, 0, 0.2, 0.5), 1.5); // columns use the column spacing
    EXPECT_DOUBLE_EQ(distance(0, 0, 0, 3, 0.2, 0.5), 0.6);
    EXPECT_DOUBLE_EQ(distance(0, 0, 1, 1, 1, 1), 1.4142);
    EXPECT_DOUBLE_EQ(distance(0, 0, 1, 1, NAN, 1), 0.0);
}

TEST(Mesures, TextsUseTheLocaleSeparatorAndTwoDecimals)
{
    EXPECT_EQ(distanceText(2.5, SpacingOrigin::Patient, French), QStringLiteral("2,50 mm"));
    EXPECT_EQ(distanceText(2.5, SpacingOrigin::Patient, English), QStringLiteral("2.50 mm"));
    EXPECT_EQ(distanceText(0, SpacingOrigin::Patient, French), QStringLiteral("0,00 mm"));
    EXPECT_EQ(distanceText(1234567.891, SpacingOrigin::Patient, French), QStringLiteral("1234567,89 mm"));
    EXPECT_EQ(angleText(86.6335, French), QStringLiteral(" 86,63 ° "));
    EXPECT_EQ(angleText(180, English), QStringLiteral(" 180.00 ° "));
    // Values held to four decimals round their halves away from zero.
    EXPECT_EQ(formatTwoDecimals(1.235, English), QStringLiteral("1.24"));
    EXPECT_EQ(formatTwoDecimals(2.675, English), QStringLiteral("2.68"));
    EXPECT_EQ(formatTwoDecimals(0.0049, English), QStringLiteral("0.00"));
}

TEST(Mesures, DistanceTextSaysWhereTheSpacingComesFrom)
{
    const QPointF a(0, 0), b(3, 4);
    EXPECT_EQ(
        measureDistanceText(a, b, {0.5, 0.5, SpacingOrigin::Patient}, French), QStringLiteral("2,50 mm"));
    EXPECT_EQ(measureDistanceText(a, b, {0.5, 0.5, SpacingOrigin::Detector}, French),
        QStringLiteral("2,50 mm (détecteur)"));
    // No usable spacing: the distance in pixels, never a false 0 mm.
    const QString pixels = QStringLiteral("5,00 px (non calibré)");
    EXPECT_EQ(measureDistanceText(a, b, PixelSpacing::uncalibrated(), French), pixels);
    EXPECT_EQ(measureDistanceText(a, b, {0.0, 0.0, SpacingOrigin::Patient}, French), pixels);
    EXPECT_EQ(measureDistanceText(a, b, {NAN, 0.5, SpacingOrigin::Patient}, French), pixels);
}

TEST(Mesures, TextSizeFromTheSizeBox)
{
    const std::pair<const char*, int> cases[] = {{"14", 14}, {"72", 72}, {"10", 10}, {"9", 10}, {"73", 10},
        {"abc", 10}, {"", 10}, {"12.5", 12}, {"13.5", 14}, {"20 pt", 20}};
    for (const auto& [text, size] : cases)
        EXPECT_EQ(textSizeFrom(QString::fromLatin1(text)), size) << text;
    EXPECT_EQ(textSizeChoices().first(), QStringLiteral("10"));
    EXPECT_EQ(QString::fromUtf8(PresetTexts[6].caption), QStringLiteral("Couché"));
    EXPECT_EQ(PresetTexts[22].size, 14);
}
