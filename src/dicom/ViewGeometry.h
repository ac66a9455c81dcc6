#pragma once
// Where an image lies on screen. ZoomLevel is a percentage (100: one screen
// pixel per image pixel); OffsetX/OffsetY are the offset of the visible part in
// screen pixels. The mapping is
//     screen = ZoomLevel / 100 * (image - offset / (ZoomLevel / 100))
// so the image's origin lies at screen (-OffsetX, -OffsetY). Image coordinates
// are continuous: pixel (c, r) covers [c, c + 1) x [r, r + 1).
#include <QPointF>
#include <QSize>

namespace vexa {

struct ViewGeometry {
    int zoomLevel = 100;
    int offsetX = 0;
    int offsetY = 0;
};

double imageToScreen(double image, int zoomLevel, int offset);
double screenToImage(double screen, int zoomLevel, int offset);
QPointF imageToScreen(QPointF image, const ViewGeometry& geometry);
QPointF screenToImage(QPointF screen, const ViewGeometry& geometry);

// The image pixel drawn at a screen pixel (its centre is sampled); may lie
// outside the image.
int imagePixelAt(int screenPixel, int zoomLevel, int offset);

// Largest whole-percent zoom showing the whole image in the view (at least 1).
int fitZoomLevel(QSize imageSize, QSize viewSize);
// Offsets that centre the image in the view at a zoom.
ViewGeometry centredGeometry(QSize imageSize, QSize viewSize, int zoomLevel);
// A new zoom keeping the image point under a screen point where it is.
ViewGeometry zoomedAbout(const ViewGeometry& geometry, int newZoomLevel, QPointF screenAnchor);

} // namespace vexa
