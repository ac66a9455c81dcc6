#include "viewer/measure/Mesures.h"
#include "base/core/Numeric.h"
#include <cmath>

namespace vexa {

namespace {

// Degrees are turned from radians with this value of pi, not the full double.
constexpr double Pi = 3.14159265358979;

double roundFourDecimals(double value)
{
    return static_cast<double>(roundHalfEven(value * 10000.0)) / 10000.0;
}

double directionDegrees(double dx, double dy)
{
    return std::atan2(dy, dx) * 180.0 / Pi;
}

bool isValidSpacing(double spacing)
{
    return std::isfinite(spacing) && spacing > 0.0;
}

} // namespace

bool PixelSpacing::isCalibrated() const
{
    return origin != SpacingOrigin::None && isValidSpacing(columnSpacing) && isValidSpacing(rowSpacing);
}

double distance(double x1, double y1, double x2, double y2, double spacingY, double spacingX)
{
    const double dx = (x1 - x2) * spacingX;
    const double dy = (y1 - y2) * spacingY;
    const double distance = std::sqrt(dx * dx + dy * dy);
    return std::isfinite(distance) ? roundFourDecimals(distance) : 0.0;
}

double angleAtVertex(double ax, double ay, double vx, double vy, double bx, double by)
{
    if ((ax == vx && ay == vy) || (bx == vx && by == vy))
        return 0.0;
    double angle = std::fabs(directionDegrees(ax - vx, ay - vy) - directionDegrees(bx - vx, by - vy));
    if (angle > 180.0)
        angle = 360.0 - angle;
    return roundFourDecimals(angle);
}

double angleBetweenLines(
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
    return angleAtVertex(
        one.right.x(), one.right.y(), one.left.x(), one.left.y(), movedRight.x(), movedRight.y());
}

QString formatTwoDecimals(double value, const QLocale& locale)
{
    // Work on hundredths as integers so a value held to four decimals rounds
    // its exact halves away from zero, as the results have always been shown.
    const auto tenThousandths = static_cast<long long>(std::llround(value * 10000.0));
    const long long magnitude = (std::llabs(tenThousandths) + 50) / 100;
    const QString sign = tenThousandths < 0 && magnitude != 0 ? QStringLiteral("-") : QString();
    return sign + QString::number(magnitude / 100) + locale.decimalPoint()
        + QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

QString distanceText(double distance, SpacingOrigin origin, const QLocale& locale)
{
    const QString value = formatTwoDecimals(distance, locale);
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

QString angleText(double degrees, const QLocale& locale)
{
    return QStringLiteral(" ") + formatTwoDecimals(degrees, locale) + QStringLiteral(" ° ");
}

QString measureDistanceText(QPointF a, QPointF b, const PixelSpacing& spacing, const QLocale& locale)
{
    if (!spacing.isCalibrated())
        return distanceText(distance(a.x(), a.y(), b.x(), b.y(), 1.0, 1.0), SpacingOrigin::None, locale);
    return distanceText(distance(a.x(), a.y(), b.x(), b.y(), spacing.rowSpacing, spacing.columnSpacing),
        spacing.origin, locale);
}

} // namespace vexa
