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
    tagsView_ = new QPlainTextEdit(this);
    tagsView_->setReadOnly(true);
    tagsView_->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The dump is laid out in columns: a fixed-width font keeps them aligned.
    tagsView_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    tagsView_->hide();
}

DicomView::~DicomView() = default;

void DicomView::setDisplayFile(const QString& newPath)
{
    setDecodedFile(newPath, newPath.isEmpty() ? DicomLoadResult() : loadDicomImage(newPath));
}

void DicomView::setDecodedFile(const QString& newPath, DicomLoadResult loaded)
{
    clear();
    path_ = newPath;
    if (!path_.isEmpty()) {
        image_ = std::move(loaded.image);
        error_ = loaded.error;
    }
    frames_ = image_ ? image_->frameCount : 1;
    frameShown_ = image_ ? image_->frameIndex : 0;
    if (image_) {
        voi_ = image_->defaultWindow;
        rebuildLut();
        initialDisplay();
        fitAtLoad_ = fitMode_;
        zoomAtLoad_ = geometry_.zoomLevel;
    }
    if (showTags_)
        setShowTags(true);
    update();
    emit displayChanged();
}

bool DicomView::showFrame(int frame)
{
    if (path_.isEmpty() || frame < 0 || frame >= frames_)
        return false;
    DicomLoadOptions options;
    options.frame = frame;
    return showDecodedFrame(frame, loadDicomImage(path_, options));
}

bool DicomView::showDecodedFrame(int frame, DicomLoadResult loaded)
{
    if (path_.isEmpty() || frame < 0 || frame >= frames_)
        return false;
    const bool sameSize = image_ && loaded.image && sizeOf(*image_) == sizeOf(*loaded.image);
    image_ = std::move(loaded.image);
    error_ = loaded.error;
    frameShown_ = frame;
    invalidate();
    if (image_) {
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
    image_.reset();
    error_.clear();
    tools_.forget();
    invalidate();
}

void DicomView::initialDisplay()
{
    const QSize size = sizeOf(*image_);
    const int zoom = fitMode_ ? fitZoomLevel(size, this->size()) : geometry_.zoomLevel;
    applyGeometry(centredGeometry(size, this->size(), zoom));
}

void DicomView::applyGeometry(const ViewGeometry& next)
{
    const bool zoomChanges = next.zoomLevel != geometry_.zoomLevel;
    geometry_ = next;
    invalidate();
    update();
    if (zoomChanges)
        emit zoomChanged();
}

void DicomView::setZoomLevel(int zoomLevel)
{
    fitMode_ = false;
    const int zoom = std::clamp(zoomLevel, minZoomLevel, maxZoomLevel);
    applyGeometry(zoomedAbout(geometry_, zoom, QPointF(width() / 2.0, height() / 2.0)));
}

void DicomView::setFitMode(bool fit)
{
    fitMode_ = fit;
    if (fit && image_) {
        const QSize size = sizeOf(*image_);
        applyGeometry(centredGeometry(size, this->size(), fitZoomLevel(size, this->size())));
    }
}

void DicomView::setOffsets(int offsetX, int offsetY)
{
    fitMode_ = false;
    applyGeometry({geometry_.zoomLevel, offsetX, offsetY});
}

void DicomView::setPointerTool(int tool)
{
    if (tool < 1 || tool > 5) {
        emit beep(tool);
        return;
    }
    tools_.setTool(static_cast<PointerToolKind>(tool));
    update();
}

void DicomView::setPolarity(int value)
{
    if ((value != 1 && value != -1) || value == polarity_)
        return;
    polarity_ = value;
    rebuildLut();
}

void DicomView::setRestoreDisplay(bool restore)
{
    if (!restore || !image_)
        return;
    tools_.forget();
    voi_ = image_->defaultWindow;
    rebuildLut();
    emit displayChanged();
    fitMode_ = fitAtLoad_;
    const QSize size = sizeOf(*image_);
    applyGeometry(
        centredGeometry(size, this->size(), fitMode_ ? fitZoomLevel(size, this->size()) : zoomAtLoad_));
}

void DicomView::setShowTags(bool show)
{
    showTags_ = show;
    if (show) {
        tagsView_->setPlainText(path_.isEmpty() ? QString() : dicomTagsText(path_));
        tagsView_->setGeometry(rect());
    }
    tagsView_->setVisible(show);
}

void DicomView::setWindow(const VoiWindow& window)
{
    voi_ = window;
    voi_.width = std::max(1.0, window.width);
    rebuildLut();
    emit displayChanged();
}

void DicomView::rebuildLut()
{
    if (!image_)
        return;
    const bool inverted = (polarity_ == -1) != image_->invertedGrey;
    lut_ = makeDisplayLut(*image_, voi_, inverted);
    invalidate();
    update();
}

void DicomView::invalidate()
{
    frameValid_ = false;
}

const QImage& DicomView::frame()
{
    if (!frameValid_) {
        cachedFrame_ = renderView(*image_, lut_, geometry_, size());
        frameValid_ = true;
    }
    return cachedFrame_;
}

QPointF DicomView::imageToScreen(QPointF imagePoint) const
{
    return vexa::imageToScreen(imagePoint, geometry_);
}

QPointF DicomView::screenToImage(QPointF screenPoint) const
{
    return vexa::screenToImage(screenPoint, geometry_);
}

bool DicomView::copyDisplay()
{
    if (!image_)
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
    if (!image_) {
        painter.fillRect(rect(), Qt::black);
        paintMessage(painter, error_);
        return;
    }
    painter.drawImage(0, 0, frame());
    painter.setPen(QPen(Qt::yellow, 1));
    if (const auto region = tools_.region()) {
        const QRectF onScreen(
            imageToScreen(region->topLeft()), imageToScreen(region->bottomRight() + QPoint(1, 1)));
        painter.drawRect(onScreen);
        const auto stats = tools_.statistics(*image_);
        painter.drawText(QRectF(onScreen.bottomLeft() + QPointF(0, 4), QSizeF(0, 0)), Qt::TextDontClip,
            DicomViewTools::statisticsText(*stats));
    }
    if (const auto segment = tools_.segment()) {
        const QPointF a = imageToScreen(segment->first), b = imageToScreen(segment->second);
        painter.drawLine(a, b);
        painter.drawText(b + QPointF(6, -6), measureText());
    }
    if (tools_.dragging() && tools_.tool() == PointerToolKind::Magnifier) {
        const QPoint corner = tools_.currentScreen() - QPoint(magnifierSide / 2, magnifierSide / 2);
        painter.drawImage(corner, magnified(tools_.currentScreen()));
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
    const int zoom = std::min(maxZoomLevel, geometry_.zoomLevel * 2);
    ViewGeometry around = zoomedAbout(geometry_, zoom, centre);
    around.offsetX += centre.x() - magnifierSide / 2;
    around.offsetY += centre.y() - magnifierSide / 2;
    return renderView(*image_, lut_, around, QSize(magnifierSide, magnifierSide));
}

void DicomView::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    emit pressed(at.x(), at.y(), brixel::buttonCode(event->button()), brixel::shiftCode(event->modifiers()));
    if (!image_)
        return;
    dragStartWindow_ = voi_;
    dragStartGeometry_ = geometry_;
    tools_.begin(at, screenToImage(at));
    update();
}

void DicomView::mouseMoveEvent(QMouseEvent* event)
{
    if (!image_)
        return;
    const QPoint at = event->position().toPoint();
    const int column = imagePixelAt(at.x(), geometry_.zoomLevel, geometry_.offsetX);
    const int row = imagePixelAt(at.y(), geometry_.zoomLevel, geometry_.offsetY);
    emit pointerMoved(
        column, row, at.x(), at.y(), image_->valueAt(column, row), brixel::buttonCode(event->buttons()));
    if (!tools_.dragging())
        return;
    tools_.move(at, screenToImage(at));
    const QPoint delta = at - tools_.startScreen();
    if (tools_.tool() == PointerToolKind::Contrast)
        dragContrast(delta);
    else if (tools_.tool() == PointerToolKind::Pan)
        setOffsets(dragStartGeometry_.offsetX - delta.x(), dragStartGeometry_.offsetY - delta.y());
    else
        update();
}

void DicomView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (image_ && tools_.dragging()) {
        tools_.move(at, screenToImage(at));
        tools_.end();
        update();
    }
    const int button = brixel::buttonCode(event->button());
    const int shift = brixel::shiftCode(event->modifiers());
    if (!std::exchange(endingDoubleClick_, false))
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
    endingDoubleClick_ = true;
}

// Horizontal motion widens or narrows the window (contrast), vertical motion
// moves its centre (brightness); a drag across the view spans the pixel range.
void DicomView::dragContrast(QPoint delta)
{
    const double range = image_->monochrome ? image_->maxValue - image_->minValue + 1.0 : 256.0;
    const double perPixel = range / std::max(200, std::max(width(), height()));
    // A lookup table cannot be stretched: the drag goes on from the range it
    // covers with a plain window of the same function.
    VoiWindow dragged = dragStartWindow_;
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
        wheelRest_ += event->angleDelta().y();
        const int notches = wheelRest_ / 120;
        wheelRest_ -= notches * 120;
        if (notches != 0)
            emit wheelTurned(notches);
        return;
    }
    if (!image_)
        return;
    const double steps = event->angleDelta().y() / 120.0;
    const int current = geometry_.zoomLevel;
    int next = static_cast<int>(std::lround(current * std::pow(1.1, steps)));
    if (next == current)
        next += steps > 0 ? 1 : -1;
    next = std::clamp(next, minZoomLevel, maxZoomLevel);
    if (next == current) {
        emit beep(0);
        return;
    }
    fitMode_ = false;
    applyGeometry(zoomedAbout(geometry_, next, event->position()));
}

void DicomView::resizeEvent(QResizeEvent*)
{
    invalidate();
    tagsView_->setGeometry(rect());
}

QPoint DicomView::pixelAt(QPointF screenPoint) const
{
    const QPointF imagePoint = screenToImage(screenPoint);
    return {static_cast<int>(std::floor(imagePoint.x())), static_cast<int>(std::floor(imagePoint.y()))};
}

QString DicomView::measureText() const
{
    return image_ ? tools_.segmentText(*image_, locale()).value_or(QString()) : QString();
}

QRectF DicomView::visibleImageRect() const
{
    if (!image_)
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
    if (!image_ || region.isEmpty())
        return {};
    const bool inverted = (polarity_ == -1) != image_->invertedGrey;
    const DisplayLut printLut = makeDisplayLut(*image_, voi_, inverted);
    return renderImageRegion(*image_, printLut, region, size);
}

std::function<QImage(QSize)> DicomView::visibleRenderer() const
{
    const QRectF region = visibleImageRect();
    if (!image_ || region.isEmpty())
        return [](QSize) { return QImage(); };
    const bool inverted = (polarity_ == -1) != image_->invertedGrey;
    return [shown = image_, lut = makeDisplayLut(*image_, voi_, inverted), region](
               QSize size) { return renderImageRegion(*shown, lut, region, size); };
}

} // namespace vexa
