// The viewer's display buttons, zoom, navigation buttons and keys.
#include "viewer/window/ViewerWindow.h"

#include "base/core/DialogService.h"
#include "pacsdb/RecordSet.h"
#include "viewer/measure/MeasurementController.h"
#include "viewer/overlay/MeasurementOverlay.h"
#include "viewer/view/DicomView.h"
#include "viewer/view/LatestImageLoader.h"
#include "viewer/window/SeriesNavigator.h"
#include "viewer/window/ViewerTexts.h"

#include <brixel/Button.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>
#include <cmath>

namespace vexa {

namespace {

constexpr Colour IdleModeColour = 12632256;
constexpr Colour ActiveModeColour = 16756880;
constexpr int PanMode = 4;
constexpr int ContrastMode = 1;

// The view keeps a window's width of at least 1.
bool sameWindow(const VoiWindow& applied, const VoiWindow& shown)
{
    return applied.center == shown.center && std::max(1.0, applied.width) == shown.width
        && applied.function == shown.function && applied.lutIndex == shown.lutIndex;
}

} // namespace

void ViewerWindow::connectSignals()
{
    for (int i = 1; i <= 5; ++i) {
        if (auto* button = modeButtons_[static_cast<std::size_t>(i)])
            connect(button, &brixel::Button::Click, this, [this, i] { selectMode(i); });
    }
    auto onClick = [this](brixel::Button* button, void (ViewerWindow::*handler)()) {
        if (button)
            connect(button, &brixel::Button::Click, this, handler);
    };
    onClick(invertButton_, &ViewerWindow::invertGrey);
    onClick(restoreButton_, &ViewerWindow::restoreImage);
    onClick(tagsButton_, &ViewerWindow::showTags);
    onClick(manualZoomButton_, &ViewerWindow::startManualZoom);
    onClick(closeButton_, &ViewerWindow::closeViewer);
    onClick(printImageButton_, &ViewerWindow::printImage);
    onClick(printScreenButton_, &ViewerWindow::printScreenCopy);
    onClick(previousButton_, &ViewerWindow::showPreviousImage);
    onClick(nextButton_, &ViewerWindow::showNextImage);
    onClick(measuresButton_, &ViewerWindow::openPanel);
    if (tagsButton_)
        connect(tagsButton_, &brixel::Button::ClickSunken, this, &ViewerWindow::hideTags);
    if (manualZoomButton_)
        connect(manualZoomButton_, &brixel::Button::ClickSunken, this, &ViewerWindow::fitToWindow);
    connect(zoomSlider_, &QSlider::valueChanged, this, &ViewerWindow::zoomSliderMoved);
    connect(view_, &DicomView::zoomChanged, this, &ViewerWindow::zoomChanged);
    connect(view_, &DicomView::pointerMoved, this,
        [this](int, int, int, int, double value, int) { pointerMoved(value); });
    connect(view_, &DicomView::pressed, this, &ViewerWindow::displayPressed);
    connect(view_, &DicomView::clicked, this,
        [this](int x, int y, int button, int) { displayClicked(x, y, button); });
    connect(view_, &DicomView::beep, this, [](int) { QApplication::beep(); });
    connect(view_, &DicomView::displayChanged, this, &ViewerWindow::updateIndicator);
    connect(view_, &DicomView::wheelTurned, this, &ViewerWindow::wheelTurned);
    connectPanel();
}

void ViewerWindow::selectMode(int index)
{
    for (int k = 1; k <= 5; ++k) {
        brixel::Button* button = modeButtons_[static_cast<std::size_t>(k)];
        if (button == nullptr)
            continue;
        if (k == index) {
            button->setPicture(button->pictureDown());
            button->setBackColor(toQColor(ActiveModeColour));
        } else {
            button->setPicture(brixel::Picture::fromImage(idleIcons_[static_cast<std::size_t>(k)]));
            button->setBackColor(toQColor(IdleModeColour));
        }
    }
    view_->setPointerTool(index);
    focusImageArea();
}

void ViewerWindow::invertGrey()
{
    setPointer(Qt::WaitCursor);
    view_->setPolarity(view_->polarity() == -1 ? 1 : -1);
    setPointer(Qt::ArrowCursor);
    focusImageArea();
}

void ViewerWindow::restoreImage()
{
    setPointer(Qt::WaitCursor);
    view_->setRestoreDisplay(true);
    setPointer(Qt::ArrowCursor);
    focusImageArea();
}

// tagsButton sunk: the DICOM data replace the graphics and the indicator,
// which would cover the data's first line.
void ViewerWindow::showTags()
{
    overlay_->hide();
    indicator_->hide();
    measures_->graphics().hideAllGraphics();
    view_->setShowTags(true);
    focusImageArea();
}

void ViewerWindow::hideTags()
{
    view_->setShowTags(false);
    overlay_->show();
    updateIndicator();
    redrawAllGraphics();
    focusImageArea();
}

// manualZoomButton sunk: manual zoom with the slider.
void ViewerWindow::startManualZoom()
{
    view_->setFitMode(false);
    sliderTag_.clear();
    zoomSlider_->setEnabled(true);
    zoomSlider_->setValue(100);
    redrawAllGraphics();
    focusImageArea();
}

// manualZoomButton risen: the image fits the window again.
void ViewerWindow::fitToWindow()
{
    // The tag first: the display's zoom notice must not take the fitted zoom
    // for a manual one.
    sliderTag_ = QStringLiteral("Fit");
    view_->setFitMode(true);
    showSliderValue(view_->zoomLevel());
    zoomLabel_->setText(QString::number(view_->zoomLevel()) + QLatin1Char('%'));
    zoomSlider_->setEnabled(false);
    redrawAllGraphics();
    focusImageArea();
}

void ViewerWindow::zoomSliderMoved()
{
    if (sliderTag_ != QLatin1String("Fit")) {
        view_->setZoomLevel(zoomSlider_->value());
        zoomLabel_->setText(QString::number(view_->zoomLevel()) + QLatin1Char('%'));
        selectMode(PanMode);
        redrawAllGraphics();
    } else if (view_->pointerTool() == PanMode) {
        selectMode(ContrastMode);
    }
}

// The slider follows the display's zoom. In manual zoom, a zoom beyond the
// slider's range (the wheel) is shown at the slider's end without being sent
// back to the display, which would undo it.
void ViewerWindow::showSliderValue(int zoomLevel)
{
    const bool inRange = zoomLevel >= zoomSlider_->minimum() && zoomLevel <= zoomSlider_->maximum();
    if (inRange || sliderTag_ == QLatin1String("Fit")) {
        zoomSlider_->setValue(zoomLevel);
        return;
    }
    const QSignalBlocker quiet(zoomSlider_);
    zoomSlider_->setValue(zoomLevel);
}

void ViewerWindow::zoomChanged()
{
    zoomLabel_->setText(QString::number(view_->zoomLevel()) + QLatin1Char('%'));
    showSliderValue(view_->zoomLevel());
}

void ViewerWindow::pointerMoved(double value)
{
    intensityLabel_->setText(QString::number(qRound64(value)));
}

void ViewerWindow::displayPressed()
{
    setPointer(Qt::CrossCursor);
    if (panelOpen_)
        closePanel();
}

void ViewerWindow::redrawAllGraphics()
{
    measures_->graphics().redrawAllGraphics();
    overlay_->update();
}

void ViewerWindow::updateIndicator()
{
    if (!indicator_)
        return;
    ViewerPosition position{1, 1, view_->currentFrame() + 1, view_->frameCount()};
    if (!singleImage_ && images_ && images_->currentRow() >= 0) {
        position.image = images_->currentRow() + 1;
        position.imageCount = images_->count();
    }
    const VoiWindow shown = view_->window();
    // The name stays while the window is the named one (not after a drag).
    const QString name
        = namedWindow_ && sameWindow(namedWindow_->window, shown) ? namedWindow_->name : QString();
    // A frame that cannot be decoded still tells where the user is.
    const bool showing = (view_->hasImage() || view_->frameCount() > 1) && !view_->showTags();
    indicator_->setText(showing ? viewerIndicatorText(position, shown, name) : QString());
    indicator_->adjustSize();
    indicator_->setVisible(showing);
}

void ViewerWindow::applyNamedWindow(const NamedWindow& window)
{
    namedWindow_ = window;
    view_->setWindow(window.window);
    updateIndicator();
}

void ViewerWindow::applyPreset(int index)
{
    if (!view_->hasImage() || index < 0 || index >= int(presets_.size())) {
        QApplication::beep();
        return;
    }
    applyNamedWindow(presets_[std::size_t(index)]);
}

// The next of the file's own windows and VOI tables, back to the first after
// the last.
void ViewerWindow::cycleFileWindows()
{
    if (!view_->hasImage() || fileWindows_.empty()) {
        QApplication::beep();
        return;
    }
    fileWindowIndex_ = (fileWindowIndex_ + 1) % int(fileWindows_.size());
    applyNamedWindow(fileWindows_[std::size_t(fileWindowIndex_)]);
}

// Moves by `frames` through the frames of the file shown, stopping at its
// first and last: the frame is asked from the worker threads, counting from
// the one asked before when it is not there yet. False when the view already
// stood there, or while the image itself is still on its way.
bool ViewerWindow::stepFrames(int frames)
{
    if (shownPath_.isEmpty())
        return false;
    const int from = pendingFrame_ >= 0 ? pendingFrame_ : view_->currentFrame();
    const int target = std::clamp(from + frames, 0, view_->frameCount() - 1);
    if (target == from)
        return false;
    pendingFrame_ = target;
    loader_->request({shownPath_}, target);
    return true;
}

void ViewerWindow::frameDecoded(DicomLoadResult loaded)
{
    const int frame = std::exchange(pendingFrame_, -1);
    if (unloaded_)
        return;
    view_->showDecodedFrame(frame, std::move(loaded));
    updateIndicator();
}

// The wheel pages through the frames of a multi-frame file, then on through
// the series, as one stack: towards the user is forwards.
void ViewerWindow::wheelTurned(int notches)
{
    if (unloaded_)
        return;
    const int forwards = -notches;
    if (stepFrames(forwards) || singleImage_)
        return;
    showImageAt(forwards > 0 ? SeriesMove::Next : SeriesMove::Previous);
}

void ViewerWindow::showImageAt(SeriesMove step)
{
    if (singleImage_ || !images_)
        return;
    if (step == SeriesMove::Next)
        return showNextImage();
    if (step == SeriesMove::Previous)
        return showPreviousImage();
    if (!leaveImage())
        return;
    loadImageFromSeries(step);
    focusImageArea();
}

void ViewerWindow::zoomBy(double factor)
{
    if (view_->hasImage())
        view_->setZoomLevel(int(std::lround(view_->zoomLevel() * factor)));
}

// The keys of every image viewer: presets 1 to 5, the file's windows (F),
// frames (up and down arrows), paging and zoom.
bool ViewerWindow::browsingKey(QKeyEvent* event)
{
    const int key = event->key();
    if (key >= Qt::Key_1 && key <= Qt::Key_5) {
        applyPreset(key - Qt::Key_1);
        return true;
    }
    switch (key) {
    case Qt::Key_F:
        cycleFileWindows();
        return true;
    case Qt::Key_Down:
        if (!stepFrames(1))
            QApplication::beep();
        return true;
    case Qt::Key_Up:
        if (!stepFrames(-1))
            QApplication::beep();
        return true;
    case Qt::Key_PageDown:
        showImageAt(SeriesMove::Next);
        return true;
    case Qt::Key_PageUp:
        showImageAt(SeriesMove::Previous);
        return true;
    case Qt::Key_Home:
        showImageAt(SeriesMove::First);
        return true;
    case Qt::Key_End:
        showImageAt(SeriesMove::Last);
        return true;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomBy(1.25);
        return true;
    case Qt::Key_Minus:
        zoomBy(0.8);
        return true;
    default:
        return false;
    }
}

void ViewerWindow::showPreviousImage()
{
    if (!leaveImage())
        return;
    if (manualZoomButton_ && manualZoomButton_->value())
        manualZoomButton_->setValue(false);
    loadImageFromSeries(SeriesMove::Previous);
    focusImageArea();
}

void ViewerWindow::showNextImage()
{
    if (!leaveImage())
        return;
    if (manualZoomButton_ && manualZoomButton_->value())
        manualZoomButton_->setValue(false);
    loadImageFromSeries(SeriesMove::Next);
    focusImageArea();
}

void ViewerWindow::closeViewer()
{
    if (!saveShownMeasurements())
        return;
    closingSelf_ = true;
    unloadViewer();
}

// Escape and the arrows act when the key is released; QDialog must not close
// on Escape by itself.
void ViewerWindow::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Left:
    case Qt::Key_Right:
        event->accept();
        return;
    default:
        if (browsingKey(event)) {
            event->accept();
            return;
        }
        QDialog::keyPressEvent(event);
    }
}

void ViewerWindow::keyReleaseEvent(QKeyEvent* event)
{
    if (event->isAutoRepeat()) {
        QDialog::keyReleaseEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Escape:
        if (msgBox(QStringLiteral("Voulez-vous quitter le visualisateur ?"), MsgIcon::Question,
                MsgButtons::YesNo)
            == MsgResult::Yes)
            closeViewer();
        break;
    case Qt::Key_Left:
        if (previousButton_ && previousButton_->isVisibleTo(this))
            showPreviousImage();
        break;
    case Qt::Key_Right:
        if (nextButton_ && nextButton_->isVisibleTo(this))
            showNextImage();
        break;
    default:
        QDialog::keyReleaseEvent(event);
        return;
    }
    event->accept();
}

} // namespace vexa
