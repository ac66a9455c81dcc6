#include "dicom/ViewGeometry.h"

#include <algorithm>
#include <cmath>

namespace vexa {

double imageToScreen(double image, int zoomLevel, int offset)
{
    const double scale = zoomLevel / 100.0;
    return scale * (image - offset / scale);
}

double screenToImage(double screen, int zoomLevel, int offset)
{
    const double scale = zoomLevel / 100.0;
    return screen / scale + offset / scale;
}

QPointF imageToScreen(QPointF image, const ViewGeometry& geometry)
{
    return {imageToScreen(image.x(), geometry.zoomLevel, geometry.offsetX),
        imageToScreen(image.y(), geometry.zoomLevel, geometry.offsetY)};
}

QPointF screenToImage(QPointF screen, const ViewGeometry& geometry)
{
    return {screenToImage(screen.x(), geometry.zoomLevel, geometry.offsetX),
        screenToImage(screen.y(), geometry.zoomLevel, geometry.offsetY)};
}

int imagePixelAt(int screenPixel, int zoomLevel, int offset)
{
    return static_cast<int>(std::floor(screenToImage(screenPixel + 0.5, zoomLevel, offset)));
}

int fitZoomLevel(QSize imageSize, QSize viewSize)
{
    if (imageSize.isEmpty() || viewSize.isEmpty())
        return 100;
    const double byWidth = 100.0 * viewSize.width() / imageSize.width();
    const double byHeight = 100.0 * viewSize.height() / imageSize.height();
    return std::max(1, static_cast<int>(std::floor(std::min(byWidth, byHeight))));
}

ViewGeometry centredGeometry(QSize imageSize, QSize viewSize, int zoomLevel)
{
    const double scale = zoomLevel / 100.0;
    const auto centred = [scale](int imageLength, int viewLength) {
        return static_cast<int>(std::lround((imageLength * scale - viewLength) / 2.0));
    };
    return {zoomLevel, centred(imageSize.width(), viewSize.width()),
        centred(imageSize.height(), viewSize.height())};
}

ViewGeometry zoomedAbout(const ViewGeometry& geometry, int newZoomLevel, QPointF screenAnchor)
{
    const QPointF imagePoint = screenToImage(screenAnchor, geometry);
    const double scale = newZoomLevel / 100.0;
    return {newZoomLevel, static_cast<int>(std::lround(imagePoint.x() * scale - screenAnchor.x())),
        static_cast<int>(std::lround(imagePoint.y() * scale - screenAnchor.y()))};
}

} // namespace vexa
