#pragma once
// The measurement formulas and the texts shown for their results.
#include <QLocale>
#include <QPointF>
#include <QString>

namespace vexa {

// Where an image's millimetres-per-pixel come from.
enum class SpacingOrigin {
    Patient, // Pixel Spacing: measured in the patient plane
    Detector, // Imager Pixel Spacing only: measured at the detector, magnification not corrected
    None, // no spacing: distances are given in pixels
};

// Millimetres per pixel of an image. DICOM lists the row spacing (between
// rows, vertical) first and the column spacing (between columns, horizontal)
// second.
struct PixelSpacing {
    double columnSpacing = 0.0;
    double rowSpacing = 0.0;
    SpacingOrigin origin = SpacingOrigin::None;

    static PixelSpacing uncalibrated() { return {}; }
    // A spacing that is not positive and finite in both directions is no spacing.
    bool isCalibrated() const;
};

// Distance between two points with the given spacings, rounded to four
// decimals; 0 when the arithmetic fails.
double distance(double x1, double y1, double x2, double y2, double spacingY, double spacingX);
// Unsigned angle at V between the rays V->A and V->B, 0..180 degrees, four
// decimals. A ray of zero length gives 0.
double angleAtVertex(double ax, double ay, double vx, double vy, double bx, double by);
// Angle between line P1P2 and line P3P4, each oriented from its left end to
// its right end (on equal X the first point is the left end).
double angleBetweenLines(
    double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4);

// "#######0.00": at least one integer digit, two decimals rounded half away
// from zero, the locale's decimal separator, no grouping.
QString formatTwoDecimals(double value, const QLocale& locale);
// Distance text: "2,50 mm"; with an imager spacing "2,50 mm (détecteur)";
// without spacing the distance in pixels, "5,00 px (non calibré)".
QString distanceText(double distance, SpacingOrigin origin, const QLocale& locale);
// Angle text: " 86,63 ° ".
QString angleText(double degrees, const QLocale& locale);

// Distance text between two points of an image.
QString measureDistanceText(QPointF a, QPointF b, const PixelSpacing& spacing, const QLocale& locale);

} // namespace vexa
