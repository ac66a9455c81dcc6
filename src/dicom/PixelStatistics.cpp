#include "dicom/PixelStatistics.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vexa {

RegionStatistics regionStatistics(const DicomImageData& image, const QRect& region)
{
    const QRect inside = region.normalized().intersected(QRect(0, 0, image.columns, image.rows));
    RegionStatistics stats;
    if (inside.isEmpty())
        return stats;
    double sum = 0.0, sumOfSquares = 0.0;
    double low = std::numeric_limits<double>::max(), high = std::numeric_limits<double>::lowest();
    for (int r = inside.top(); r <= inside.bottom(); ++r) {
        for (int c = inside.left(); c <= inside.right(); ++c) {
            const double v = image.valueAt(c, r);
            sum += v;
            sumOfSquares += v * v;
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    stats.count = static_cast<long long>(inside.width()) * inside.height();
    stats.mean = sum / stats.count;
    stats.standardDeviation = std::sqrt(std::max(0.0, sumOfSquares / stats.count - stats.mean * stats.mean));
    stats.minimum = low;
    stats.maximum = high;
    return stats;
}

double lengthInMillimetres(QPointF from, QPointF to, const ImageSpacing& spacing)
{
    const double dx = (to.x() - from.x()) * spacing.column;
    const double dy = (to.y() - from.y()) * spacing.row;
    return std::hypot(dx, dy);
}

} // namespace vexa
