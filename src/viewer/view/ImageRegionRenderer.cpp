#include "viewer/view/ImageRegionRenderer.h"

#include "dicom/DicomImageData.h"
#include "dicom/DisplayLut.h"

#include <cmath>
#include <vector>

namespace vexa {

namespace {

// The image index under each output pixel along one axis; -1 outside.
std::vector<int> sourceIndexes(double start, double length, int outputs, int limit)
{
    std::vector<int> indexes(static_cast<std::size_t>(outputs));
    const double step = length / outputs;
    for (int i = 0; i < outputs; ++i) {
        const int at = static_cast<int>(std::floor(start + (i + 0.5) * step));
        indexes[static_cast<std::size_t>(i)] = at >= 0 && at < limit ? at : -1;
    }
    return indexes;
}

QRgb colourAt(const DicomImageData& image, const DisplayLut& lut, std::size_t pixel)
{
    if (image.monochrome)
        return lut.colourOf(image.values[pixel]);
    const std::uint8_t* rgb = &image.rgb[pixel * 3];
    return qRgb(lut.channel[rgb[0]], lut.channel[rgb[1]], lut.channel[rgb[2]]);
}

} // namespace

QImage renderImageRegion(const DicomImageData& image, const DisplayLut& lut, const QRectF& region, QSize size)
{
    if (size.isEmpty() || region.isEmpty())
        return {};
    QImage out(size, QImage::Format_RGB32);
    const std::vector<int> columns = sourceIndexes(region.x(), region.width(), size.width(), image.columns);
    const std::vector<int> rows = sourceIndexes(region.y(), region.height(), size.height(), image.rows);
    const bool hasPixels = image.monochrome ? !image.values.empty() : !image.rgb.empty();
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        const int row = rows[static_cast<std::size_t>(y)];
        for (int x = 0; x < size.width(); ++x) {
            const int column = columns[static_cast<std::size_t>(x)];
            line[x] = row < 0 || column < 0 || !hasPixels
                ? qRgb(0, 0, 0)
                : colourAt(image, lut, static_cast<std::size_t>(row) * image.columns + column);
        }
    }
    return out;
}

} // namespace vexa
