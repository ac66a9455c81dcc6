#include "viewer/measure/Mesures.h"
#include "base/core/Numeric.h"
#include <cmath>

namespace vexa {

namespace {

// Degrees are turned from radians with this value of pi, not the full double.
constexpr double Pi = 3.14159265358979;

double RoundFourDecimals(double value)
{
    return static_cast<double>(RoundHalfEven(value * 10000.0)) / 10000.0;
}

double DirectionDegrees(double dx, double dy)
{
    return std::atan2(dy, dx) * 180.0 / Pi;
}

bool IsValidSpacing(double spacing)
{
    return std::isfinite(spacing) && spacing > 0.0;
}

} // namespace

bool PixelSpacing::isCalibrated() const
{
    return origin != SpacingOrigin::None && IsValidSpacing(columnSpacing) && IsValidSpacing(rowSpacing);
}

double Distance(double x1, double y1, double x2, double y2, double spacingY, double spacingX)
{
    const double dx = (x1 - x2) * spacingX;
    const double dy = (y1 - y2) * spacingY;
    const double distance = std::sqrt(dx * dx + dy * dy);
    return std::isfinite(distance) ? RoundFourDecimals(distance) : 0.0;
}

double AngleAtVertex(double ax, double ay, double vx, double vy, double bx, double by)
{
    if ((ax == vx && ay == vy) || (bx == vx && by == vy))
        return 0.0;
    double angle = std::fabs(DirectionDegrees(ax - vx, ay - vy) - DirectionDegrees(bx - vx, by - vy));
    if (angle > 180.0)
        angle = 360.0 - angle;
    return RoundFourDecimals(angle);
}

double AngleBetweenLines(
    double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4)
{
    struct Line {
        QPointF left, right;
    };
    const auto oriented = [](QPointF first, QPointF second) {
        return second.x() < first.x() ? Line{second, first} : Line{first, second};
    };
    const Line one = oriented({x1, y1}, {x2, y2});
    const Line two = oriented({x3, y3}, {x4, y4});
    const QPointF movedRight = one.left + (two.right - two.left);
    return AngleAtVertex(
        one.right.x(), one.right.y(), one.left.x(), one.left.y(), movedRight.x(), movedRight.y());
}

QString FormatTwoDecimals(double value, const QLocale& locale)
{
    // Work on hundredths as integers so a value held to four decimals rounds
    // its exact halves away from zero, as the results have always been shown.
    const auto tenThousandths = static_cast<long long>(std::llround(value * 10000.0));
    const long long magnitude = (std::llabs(tenThousandths) + 50) / 100;
    const QString sign = tenThousandths < 0 && magnitude != 0 ? QStringLiteral("-") : QString();
    return sign + QString::number(magnitude / 100) + locale.decimalPoint()
        + QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

QString DistanceText(double distance, SpacingOrigin origin, const QLocale& locale)
{
    const QString value = FormatTwoDecimals(distance, locale);
    switch (origin) {
    case SpacingOrigin::Patient:
        return value + QStringLiteral(" mm");
    case SpacingOrigin::Detector:
        return value + QStringLiteral(" mm (détecteur)");
    case SpacingOrigin::None:
        break;
    }
    return value + QStringLiteral(" px (non calibré)");
}

QString AngleText(double degrees, const QLocale& locale)
{
    return QStringLiteral(" ") + FormatTwoDecimals(degrees, locale) + QStringLiteral(" ° ");
}

QString MeasureDistanceText(QPointF a, QPointF b, const PixelSpacing& spacing, const QLocale& locale)
{
    if (!spacing.isCalibrated())
        return DistanceText(Distance(a.x(), a.y(), b.x(), b.y(), 1.0, 1.0), SpacingOrigin::None, locale);
    return DistanceText(Distance(a.x(), a.y(), b.x(), b.y(), spacing.rowSpacing, spacing.columnSpacing),
        spacing.origin, locale);
}

} // namespace vexa
