#pragma once
// Draws a rectangle of an image, in image pixels, at any size in device
// pixels through a display lookup table: how the viewer prints what it shows
// at the printer's resolution, from the source pixels.
#include <QImage>
#include <QRectF>
#include <QSize>

namespace vexa {

struct DicomImageData;
struct DisplayLut;

// Each output pixel takes the image pixel under its centre; outside the image
// it is black.
QImage renderImageRegion(
    const DicomImageData& image, const DisplayLut& lut, const QRectF& region, QSize size);

} // namespace vexa
