#include "dicom/ViewRenderer.h"

#include <vector>

namespace vexa {

namespace {

// For each screen position along one axis, the image index or -1 outside.
std::vector<int> axisMap(int viewLength, int imageLength, int zoomLevel, int offset)
{
    std::vector<int> map(static_cast<std::size_t>(viewLength));
    for (int s = 0; s < viewLength; ++s) {
        const int i = imagePixelAt(s, zoomLevel, offset);
        map[s] = (i >= 0 && i < imageLength) ? i : -1;
    }
    return map;
}

void renderGreyRow(const DicomImageData& image, const DisplayLut& lut, int row,
    const std::vector<int>& columns, QRgb background, QRgb* out)
{
    const std::int32_t* source = image.values.data() + static_cast<std::size_t>(row) * image.columns;
    for (std::size_t x = 0; x < columns.size(); ++x)
        out[x] = columns[x] < 0 ? background : lut.colourOf(source[columns[x]]);
}

void renderColourRow(const DicomImageData& image, const DisplayLut& lut, int row,
    const std::vector<int>& columns, QRgb background, QRgb* out)
{
    const std::uint8_t* source = image.rgb.data() + static_cast<std::size_t>(row) * image.columns * 3;
    for (std::size_t x = 0; x < columns.size(); ++x) {
        if (columns[x] < 0) {
            out[x] = background;
            continue;
        }
        const std::uint8_t* p = source + static_cast<std::size_t>(columns[x]) * 3;
        out[x] = qRgb(lut.channel[p[0]], lut.channel[p[1]], lut.channel[p[2]]);
    }
}

} // namespace

QImage renderView(const DicomImageData& image, const DisplayLut& lut, const ViewGeometry& geometry,
    QSize viewSize, QRgb background)
{
    QImage frame(viewSize, QImage::Format_RGB32);
    if (frame.isNull())
        return frame;
    const std::vector<int> columns
        = axisMap(viewSize.width(), image.columns, geometry.zoomLevel, geometry.offsetX);
    const std::vector<int> rows
        = axisMap(viewSize.height(), image.rows, geometry.zoomLevel, geometry.offsetY);
    for (int y = 0; y < viewSize.height(); ++y) {
        auto* out = reinterpret_cast<QRgb*>(frame.scanLine(y));
        if (rows[y] < 0)
            std::fill(out, out + viewSize.width(), background);
        else if (image.monochrome)
            renderGreyRow(image, lut, rows[y], columns, background, out);
        else
            renderColourRow(image, lut, rows[y], columns, background, out);
    }
    return frame;
}

} // namespace vexa
