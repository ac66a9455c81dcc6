// The viewer's measurement panel and the mouse on the image, handed to the
// measurement controller.
#include "viewer/window/ViewerWindow.h"

#include "base/core/Numeric.h"
#include "viewer/measure/MeasurementController.h"
#include "viewer/overlay/MeasurementOverlay.h"
#include "viewer/view/DicomView.h"
#include "viewer/window/MeasurePanel.h"

#include <brixel/Button.h>

#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>

namespace vexa {

namespace {

Qt::MouseButton buttonOf(int code)
{
    if (code & 1)
        return Qt::LeftButton;
    if (code & 2)
        return Qt::RightButton;
    if (code & 4)
        return Qt::MiddleButton;
    return Qt::NoButton;
}

} // namespace

void ViewerWindow::connectPanel()
{
    connect(measurePanel_, &MeasurePanel::toolClicked, this, &ViewerWindow::toolChosen);
    connect(measurePanel_, &MeasurePanel::presetClicked, this, &ViewerWindow::presetChosen);
    connect(measurePanel_, &MeasurePanel::widenClicked, this, &ViewerWindow::widenPanel);
    connect(measurePanel_, &MeasurePanel::closeClicked, this, &ViewerWindow::closePanel);
    connect(
        measurePanel_->textEdit, &QLineEdit::textChanged, measures_, &MeasurementController::setTextToPlace);
    connect(measurePanel_->textSizeBox, &QComboBox::currentTextChanged, measures_,
        &MeasurementController::setTextSize);
    connect(measures_, &MeasurementController::cursorChanged, this,
        [this](Qt::CursorShape shape) { view_->setCursor(shape); });
}

void ViewerWindow::updateMeasureImage()
{
    const auto image = view_->imageData();
    measures_->setImage(
        view_->imageSize(), image ? measureSpacing(image->spacing) : PixelSpacing::uncalibrated());
}

// The panel slides out to the left of the tool column.
void ViewerWindow::placePanel()
{
    measurePanel_->move(toolColumn_->x() - measurePanel_->width(), 0);
    measurePanel_->raise();
}

void ViewerWindow::openPanel()
{
    panelOpen_ = true;
    placePanel();
}

void ViewerWindow::widenPanel()
{
    measurePanel_->resize(twipsToPixels(MeasurePanel::WideWidthTwips), measurePanel_->height());
    panelOpen_ = true;
    placePanel();
}

void ViewerWindow::closePanel()
{
    panelOpen_ = false;
    measurePanel_->resize(twipsToPixels(MeasurePanel::ClosedWidthTwips), measurePanel_->height());
    measurePanel_->move(toolColumn_->x(), 0);
    measurePanel_->lower();
    if (measuresButton_)
        measuresButton_->setPicture(brixel::Picture::fromImage(idleIcons_[0]));
}

void ViewerWindow::toolChosen(int index)
{
    measures_->setTextToPlace(measurePanel_->textEdit->text());
    measures_->setTextSize(measurePanel_->textSizeBox->currentText());
    if (!measures_->choose(static_cast<MeasurementController::PanelCommand>(index)))
        return; // 50 graphics already: the panel stays out
    closePanel();
    redrawAllGraphics();
    focusImageArea();
}

void ViewerWindow::presetChosen(int index)
{
    measures_->choosePreset(index);
    const QSignalBlocker quietText(measurePanel_->textEdit);
    const QSignalBlocker quietSize(measurePanel_->textSizeBox);
    measurePanel_->textEdit->setText(measures_->text());
    measurePanel_->textSizeBox->setEditText(measures_->size());
}

// Handle drags belong to the measurements: the display does not see them.
// Handles are hit and dragged with the pointer's exact position, so at high
// zoom their whole square answers; placing works on whole image pixels.
bool ViewerWindow::displayMouse(QEvent* event)
{
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPointF exact = view_->screenToImage(mouse->position());
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (!handleDrag_ && measures_->press(exact, mouse->button()))
            handleDrag_ = true;
        return handleDrag_;
    case QEvent::MouseMove:
        measures_->move(handleDrag_ ? exact : QPointF(view_->pixelAt(mouse->position())), mouse->buttons());
        return handleDrag_;
    case QEvent::MouseButtonRelease:
        if (!handleDrag_)
            return false;
        measures_->release(exact, mouse->button());
        handleDrag_ = false;
        return true;
    default:
        return false;
    }
}

void ViewerWindow::displayClicked(int x, int y, int button)
{
    measures_->click(view_->pixelAt(QPointF(x, y)), buttonOf(button));
}

bool ViewerWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view_) {
        const QEvent::Type type = event->type();
        const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseMove
            || type == QEvent::MouseButtonRelease || type == QEvent::MouseButtonDblClick;
        // While the next image decodes the display still shows the one left:
        // nothing is measured or adjusted on it.
        if (mouse && shownPath_.isEmpty())
            return true;
        if (mouse && type != QEvent::MouseButtonDblClick)
            return displayMouse(event);
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vexa
