#include "viewer/view/DicomView.h"

#include "dicom/DicomLoader.h"
#include "dicom/DicomTags.h"
#include "dicom/ViewRenderer.h"
#include "viewer/view/ImageRegionRenderer.h"

#include <brixel/MouseCodes.h>

#include <QClipboard>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <algorithm>
#include <cmath>
#include <utility>

namespace vexa {

namespace {

constexpr int minZoomLevel = 1;
constexpr int maxZoomLevel = 6400;
constexpr int magnifierSide = 160;

QSize sizeOf(const DicomImageData& image)
{
    return {image.columns, image.rows};
}

} // namespace

DicomView::DicomView(QWidget* parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    tagsView = new QPlainTextEdit(this);
    tagsView->setReadOnly(true);
    tagsView->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The dump is laid out in columns: a fixed-width font keeps them aligned.
    tagsView->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    tagsView->hide();
}

DicomView::~DicomView() = default;

void DicomView::setDisplayFile(const QString& newPath)
{
    setDecodedFile(newPath, newPath.isEmpty() ? DicomLoadResult() : loadDicomImage(newPath));
}

void DicomView::setDecodedFile(const QString& newPath, DicomLoadResult loaded)
{
    clear();
    path = newPath;
    if (!path.isEmpty()) {
        image = std::move(loaded.image);
        error = loaded.error;
    }
    frames = image ? image->frameCount : 1;
    frameShown = image ? image->frameIndex : 0;
    if (image) {
        voi = image->defaultWindow;
        rebuildLut();
        initialDisplay();
        fitAtLoad = fitMode;
        zoomAtLoad = geometry.zoomLevel;
    }
    if (showTags)
        setShowTags(true);
    update();
    emit displayChanged();
}

bool DicomView::showFrame(int frame)
{
    if (path.isEmpty() || frame < 0 || frame >= frames)
        return false;
    DicomLoadOptions options;
    options.frame = frame;
    return showDecodedFrame(frame, loadDicomImage(path, options));
}

bool DicomView::showDecodedFrame(int frame, DicomLoadResult loaded)
{
    if (path.isEmpty() || frame < 0 || frame >= frames)
        return false;
    const bool sameSize = image && loaded.image && sizeOf(*image) == sizeOf(*loaded.image);
    image = std::move(loaded.image);
    error = loaded.error;
    frameShown = frame;
    invalidate();
    if (image) {
        rebuildLut();
        // Frames of one file share their size; one that differs is fitted anew.
        if (!sameSize)
            initialDisplay();
    }
    update();
    emit displayChanged();
    return true;
}

void DicomView::clear()
{
    image.reset();
    error.clear();
    tools.forget();
    invalidate();
}

void DicomView::initialDisplay()
{
    const QSize size = sizeOf(*image);
    const int zoom = fitMode ? fitZoomLevel(size, this->size()) : geometry.zoomLevel;
    applyGeometry(centredGeometry(size, this->size(), zoom));
}

void DicomView::applyGeometry(const ViewGeometry& next)
{
    const bool zoomChanges = next.zoomLevel != geometry.zoomLevel;
    geometry = next;
    invalidate();
    update();
    if (zoomChanges)
        emit zoomChanged();
}

void DicomView::setZoomLevel(int zoomLevel)
{
    fitMode = false;
    const int zoom = std::clamp(zoomLevel, minZoomLevel, maxZoomLevel);
    applyGeometry(zoomedAbout(geometry, zoom, QPointF(width() / 2.0, height() / 2.0)));
}

void DicomView::setFitMode(bool fit)
{
    fitMode = fit;
    if (fit && image) {
        const QSize size = sizeOf(*image);
        applyGeometry(centredGeometry(size, this->size(), fitZoomLevel(size, this->size())));
    }
}

void DicomView::setOffsets(int offsetX, int offsetY)
{
    fitMode = false;
    applyGeometry({geometry.zoomLevel, offsetX, offsetY});
}

void DicomView::setPointerTool(int tool)
{
    if (tool < 1 || tool > 5) {
        emit beep(tool);
        return;
    }
    tools.setTool(static_cast<PointerToolKind>(tool));
    update();
}

void DicomView::setPolarity(int value)
{
    if ((value != 1 && value != -1) || value == polarity)
        return;
    polarity = value;
    rebuildLut();
}

void DicomView::setRestoreDisplay(bool restore)
{
    if (!restore || !image)
        return;
    tools.forget();
    voi = image->defaultWindow;
    rebuildLut();
    emit displayChanged();
    fitMode = fitAtLoad;
    const QSize size = sizeOf(*image);
    applyGeometry(
        centredGeometry(size, this->size(), fitMode ? fitZoomLevel(size, this->size()) : zoomAtLoad));
}

void DicomView::setShowTags(bool show)
{
    showTags = show;
    if (show) {
        tagsView->setPlainText(path.isEmpty() ? QString() : dicomTagsText(path));
        tagsView->setGeometry(rect());
    }
    tagsView->setVisible(show);
}

void DicomView::setWindow(const VoiWindow& window)
{
    voi = window;
    voi.width = std::max(1.0, window.width);
    rebuildLut();
    emit displayChanged();
}

void DicomView::rebuildLut()
{
    if (!image)
        return;
    const bool inverted = (polarity == -1) != image->invertedGrey;
    lut = makeDisplayLut(*image, voi, inverted);
    invalidate();
    update();
}

void DicomView::invalidate()
{
    frameValid = false;
}

const QImage& DicomView::frame()
{
    if (!frameValid) {
        cachedFrame = renderView(*image, lut, geometry, size());
        frameValid = true;
    }
    return cachedFrame;
}

QPointF DicomView::imageToScreen(QPointF imagePoint) const
{
    return vexa::imageToScreen(imagePoint, geometry);
}

QPointF DicomView::screenToImage(QPointF screenPoint) const
{
    return vexa::screenToImage(screenPoint, geometry);
}

bool DicomView::CopyDisplay()
{
    if (!image)
        return false;
    QGuiApplication::clipboard()->setImage(displayImage());
    return true;
}

QImage DicomView::displayImage()
{
    return grab().toImage();
}

void DicomView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!image) {
        painter.fillRect(rect(), Qt::black);
        paintMessage(painter, error);
        return;
    }
    painter.drawImage(0, 0, frame());
    painter.setPen(QPen(Qt::yellow, 1));
    if (const auto region = tools.region()) {
        const QRectF onScreen(
            imageToScreen(region->topLeft()), imageToScreen(region->bottomRight() + QPoint(1, 1)));
        painter.drawRect(onScreen);
        const auto stats = tools.statistics(*image);
        painter.drawText(QRectF(onScreen.bottomLeft() + QPointF(0, 4), QSizeF(0, 0)), Qt::TextDontClip,
            DicomViewTools::statisticsText(*stats));
    }
    if (const auto segment = tools.segment()) {
        const QPointF a = imageToScreen(segment->first), b = imageToScreen(segment->second);
        painter.drawLine(a, b);
        painter.drawText(b + QPointF(6, -6), measureText());
    }
    if (tools.dragging() && tools.tool() == PointerToolKind::Magnifier) {
        const QPoint corner = tools.currentScreen() - QPoint(magnifierSide / 2, magnifierSide / 2);
        painter.drawImage(corner, magnified(tools.currentScreen()));
        painter.drawRect(QRect(corner, QSize(magnifierSide, magnifierSide)));
    }
}

void DicomView::paintMessage(QPainter& painter, const QString& text)
{
    if (text.isEmpty())
        return;
    painter.setPen(Qt::white);
    painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, text);
}

// The image around a screen point at twice the current zoom.
QImage DicomView::magnified(QPoint centre)
{
    const int zoom = std::min(maxZoomLevel, geometry.zoomLevel * 2);
    ViewGeometry around = zoomedAbout(geometry, zoom, centre);
    around.offsetX += centre.x() - magnifierSide / 2;
    around.offsetY += centre.y() - magnifierSide / 2;
    return renderView(*image, lut, around, QSize(magnifierSide, magnifierSide));
}

void DicomView::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    emit pressed(at.x(), at.y(), brixel::buttonCode(event->button()), brixel::shiftCode(event->modifiers()));
    if (!image)
        return;
    dragStartWindow = voi;
    dragStartGeometry = geometry;
    tools.begin(at, screenToImage(at));
    update();
}

void DicomView::mouseMoveEvent(QMouseEvent* event)
{
    if (!image)
        return;
    const QPoint at = event->position().toPoint();
    const int column = imagePixelAt(at.x(), geometry.zoomLevel, geometry.offsetX);
    const int row = imagePixelAt(at.y(), geometry.zoomLevel, geometry.offsetY);
    emit pointerMoved(
        column, row, at.x(), at.y(), image->valueAt(column, row), brixel::buttonCode(event->buttons()));
    if (!tools.dragging())
        return;
    tools.move(at, screenToImage(at));
    const QPoint delta = at - tools.startScreen();
    if (tools.tool() == PointerToolKind::Contrast)
        dragContrast(delta);
    else if (tools.tool() == PointerToolKind::Pan)
        setOffsets(dragStartGeometry.offsetX - delta.x(), dragStartGeometry.offsetY - delta.y());
    else
        update();
}

void DicomView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (image && tools.dragging()) {
        tools.move(at, screenToImage(at));
        tools.end();
        update();
    }
    const int button = brixel::buttonCode(event->button());
    const int shift = brixel::shiftCode(event->modifiers());
    if (!std::exchange(endingDoubleClick, false))
        emit clicked(at.x(), at.y(), button, shift);
    emit released(at.x(), at.y(), button, shift);
}

// A double click comes as press, release, double click, release. Its second
// half is no second click: a measuring tool would place two points on one
// spot, and a double click on the last point of an angle would start another
// graphic there.
void DicomView::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
    endingDoubleClick = true;
}

// Horizontal motion widens or narrows the window (contrast), vertical motion
// moves its centre (brightness); a drag across the view spans the pixel range.
void DicomView::dragContrast(QPoint delta)
{
    const double range = image->monochrome ? image->maxValue - image->minValue + 1.0 : 256.0;
    const double perPixel = range / std::max(200, std::max(width(), height()));
    // A lookup table cannot be stretched: the drag goes on from the range it
    // covers with a plain window of the same function.
    VoiWindow dragged = dragStartWindow;
    dragged.center += delta.y() * perPixel;
    dragged.width += delta.x() * perPixel;
    dragged.lutIndex = -1;
    dragged.explanation.clear();
    setWindow(dragged);
}

// The wheel pages (wheelTurned, for the viewer to move through the series);
// with Ctrl held it zooms about the pointer.
void DicomView::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        wheelRest += event->angleDelta().y();
        const int notches = wheelRest / 120;
        wheelRest -= notches * 120;
        if (notches != 0)
            emit wheelTurned(notches);
        return;
    }
    if (!image)
        return;
    const double steps = event->angleDelta().y() / 120.0;
    const int current = geometry.zoomLevel;
    int next = static_cast<int>(std::lround(current * std::pow(1.1, steps)));
    if (next == current)
        next += steps > 0 ? 1 : -1;
    next = std::clamp(next, minZoomLevel, maxZoomLevel);
    if (next == current) {
        emit beep(0);
        return;
    }
    fitMode = false;
    applyGeometry(zoomedAbout(geometry, next, event->position()));
}

void DicomView::resizeEvent(QResizeEvent*)
{
    invalidate();
    tagsView->setGeometry(rect());
}

QPoint DicomView::pixelAt(QPointF screenPoint) const
{
    const QPointF imagePoint = screenToImage(screenPoint);
    return {static_cast<int>(std::floor(imagePoint.x())), static_cast<int>(std::floor(imagePoint.y()))};
}

QString DicomView::measureText() const
{
    return image ? tools.segmentText(*image, locale()).value_or(QString()) : QString();
}

QRectF DicomView::visibleImageRect() const
{
    if (!image)
        return {};
    const QRectF shown(screenToImage(QPointF(0, 0)), screenToImage(QPointF(width(), height())));
    return shown.intersected(QRectF(QPointF(0, 0), QSizeF(imageSize())));
}

QRect DicomView::visibleScreenRect() const
{
    const QRectF shown = visibleImageRect();
    if (shown.isEmpty())
        return {};
    const QPointF from = imageToScreen(shown.topLeft());
    const QPointF to = imageToScreen(shown.bottomRight());
    const QRect screen(
        QPoint(qRound(from.x()), qRound(from.y())), QPoint(qRound(to.x()) - 1, qRound(to.y()) - 1));
    return screen.intersected(rect());
}

QImage DicomView::renderVisible(QSize size) const
{
    const QRectF region = visibleImageRect();
    if (!image || region.isEmpty())
        return {};
    const bool inverted = (polarity == -1) != image->invertedGrey;
    const DisplayLut printLut = makeDisplayLut(*image, voi, inverted);
    return RenderImageRegion(*image, printLut, region, size);
}

std::function<QImage(QSize)> DicomView::visibleRenderer() const
{
    const QRectF region = visibleImageRect();
    if (!image || region.isEmpty())
        return [](QSize) { return QImage(); };
    const bool inverted = (polarity == -1) != image->invertedGrey;
    return [shown = image, lut = makeDisplayLut(*image, voi, inverted), region](
               QSize size) { return RenderImageRegion(*shown, lut, region, size); };
}

} // namespace vexa
