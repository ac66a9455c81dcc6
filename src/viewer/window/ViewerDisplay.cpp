#include "ViewerDisplay.h"

#include "DicomView.h"
#include "DisplayLut.h"
#include "ImageRegionRenderer.h"

#include <cmath>

namespace vexa {

ViewerDisplay::ViewerDisplay(QWidget* parent)
    : QObject(parent)
    , view(new DicomView(parent))
{
    view->setObjectName(QStringLiteral("ezDICOMX1"));
    connect(view, &DicomView::clicked, this, &ViewerDisplay::clicked);
    connect(view, &DicomView::pressed, this, &ViewerDisplay::pressed);
    connect(view, &DicomView::zoomChanged, this, &ViewerDisplay::zoomChanged);
    connect(view, &DicomView::beep, this, [this](int) { emit beep(); });
    connect(view, &DicomView::pointerMoved, this,
        [this](int column, int row, int, int, double value, int) { emit pointerMoved(column, row, value); });
}

QWidget* ViewerDisplay::widget() const
{
    return view;
}

void ViewerDisplay::setDisplayFile(const QString& path)
{
    view->setDisplayFile(path);
}

QString ViewerDisplay::displayFile() const
{
    return view->DisplayFile();
}

bool ViewerDisplay::hasImage() const
{
    return view->hasImage();
}

QSize ViewerDisplay::imageSize() const
{
    return {view->PixelColumns(), view->PixelRows()};
}

DisplaySpacing ViewerDisplay::spacing() const
{
    const auto image = view->imageData();
    if (!image)
        return {};
    return {image->spacing.column, image->spacing.row, image->spacing.fromFile, image->spacing.atDetector};
}

int ViewerDisplay::zoomLevel() const
{
    return view->ZoomLevel();
}

void ViewerDisplay::setZoomLevel(int zoomLevel)
{
    view->setZoomLevel(zoomLevel);
}

bool ViewerDisplay::fitMode() const
{
    return view->FitMode();
}

void ViewerDisplay::setFitMode(bool fit)
{
    view->setFitMode(fit);
}

int ViewerDisplay::pointerTool() const
{
    return view->PointerTool();
}

void ViewerDisplay::setPointerTool(int tool)
{
    view->setPointerTool(tool);
}

int ViewerDisplay::polarity() const
{
    return view->Polarity();
}

void ViewerDisplay::setPolarity(int polarity)
{
    view->setPolarity(polarity);
}

void ViewerDisplay::restoreDisplay()
{
    view->setRestoreDisplay(true);
}

bool ViewerDisplay::showTags() const
{
    return view->ShowTags();
}

void ViewerDisplay::setShowTags(bool show)
{
    view->setShowTags(show);
}

void ViewerDisplay::setDisplaySwitch(int id, bool on)
{
    switch (id) {
    case 202:
        view->setSwitch202(on);
        break;
    case 219:
        view->setSwitch219(on);
        break;
    case 223:
        view->setSwitch223(on);
        break;
    case 242:
        view->setSwitch242(on);
        break;
    default:
        break;
    }
}

int ViewerDisplay::offsetX() const
{
    return view->OffsetX();
}

int ViewerDisplay::offsetY() const
{
    return view->OffsetY();
}

QPointF ViewerDisplay::imageToScreen(QPointF image) const
{
    return view->imageToScreen(image);
}

QPointF ViewerDisplay::screenToImage(QPointF screen) const
{
    return view->screenToImage(screen);
}

QPoint ViewerDisplay::pixelAt(QPointF screen) const
{
    const QPointF image = view->screenToImage(screen);
    return {static_cast<int>(std::floor(image.x())), static_cast<int>(std::floor(image.y()))};
}

QRectF ViewerDisplay::visibleImageRect() const
{
    if (!view->hasImage())
        return {};
    const QRectF shown(
        view->screenToImage(QPointF(0, 0)), view->screenToImage(QPointF(view->width(), view->height())));
    return shown.intersected(QRectF(QPointF(0, 0), QSizeF(imageSize())));
}

QRect ViewerDisplay::visibleScreenRect() const
{
    const QRectF image = visibleImageRect();
    if (image.isEmpty())
        return {};
    const QPointF from = view->imageToScreen(image.topLeft());
    const QPointF to = view->imageToScreen(image.bottomRight());
    const QRect screen(
        QPoint(qRound(from.x()), qRound(from.y())), QPoint(qRound(to.x()) - 1, qRound(to.y()) - 1));
    return screen.intersected(view->rect());
}

QImage ViewerDisplay::renderVisible(QSize size) const
{
    const auto image = view->imageData();
    const QRectF region = visibleImageRect();
    if (!image || region.isEmpty())
        return {};
    const bool inverted = (view->Polarity() == -1) != image->invertedGrey;
    const DisplayLut lut = makeDisplayLut(*image, view->window(), inverted);
    return RenderImageRegion(*image, lut, region, size);
}

} // namespace vexa
