#pragma once
// Draws what a view of a given size shows of an image: each screen pixel takes
// the image pixel under its centre through the lookup table. Only visible
// pixels are touched, so a fitted radiograph costs about the view's area.
#include "dicom/DicomImageData.h"
#include "dicom/DisplayLut.h"
#include "dicom/ViewGeometry.h"

#include <QImage>

namespace vexa {

QImage renderView(const DicomImageData& image, const DisplayLut& lut, const ViewGeometry& geometry,
    QSize viewSize, QRgb background = qRgb(0, 0, 0));

} // namespace vexa
