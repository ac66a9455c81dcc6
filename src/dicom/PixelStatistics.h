#pragma once
// Measurements on image pixels, for the region study and the instant measure.
#include "dicom/DicomImageData.h"

#include <QPointF>
#include <QRect>

namespace vexa {

struct RegionStatistics {
    long long count = 0;
    double mean = 0.0;
    double standardDeviation = 0.0;
    double minimum = 0.0;
    double maximum = 0.0;
};

// Over the pixels of `region` (image pixels) that lie inside the image.
RegionStatistics regionStatistics(const DicomImageData& image, const QRect& region);

// Length in millimetres of the segment between two image points.
double lengthInMillimetres(QPointF from, QPointF to, const ImageSpacing& spacing);

} // namespace vexa
