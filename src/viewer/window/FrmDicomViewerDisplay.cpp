// The viewer's display buttons, zoom, navigation buttons and keys.
#include "FrmDicomViewer.h"

#include "DialogService.h"
#include "MeasurementController.h"
#include "MeasurementOverlay.h"
#include "Misc.h"
#include "ViewerDisplay.h"
#include "ViewerTexts.h"

#include <brixel/Button.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>

namespace vexa {

namespace {

constexpr std::uint32_t IdleModeColour = 12632256;
constexpr std::uint32_t ActiveModeColour = 16756880;
constexpr int PanMode = 4;
constexpr int ContrastMode = 1;

} // namespace

void FrmDicomViewer::connectSignals()
{
    for (int i = 1; i <= 5; ++i) {
        if (auto* button = Button3[static_cast<std::size_t>(i)])
            connect(button, &brixel::Button::Click, this, [this, i] { Button3_Click(i); });
    }
    auto onClick = [this](brixel::Button* button, void (FrmDicomViewer::*handler)()) {
        if (button)
            connect(button, &brixel::Button::Click, this, handler);
    };
    onClick(Button5, &FrmDicomViewer::Button5_Click);
    onClick(Button6, &FrmDicomViewer::Button6_Click);
    onClick(Button1, &FrmDicomViewer::Button1_Click);
    onClick(Button2, &FrmDicomViewer::Button2_Click);
    onClick(Button4, &FrmDicomViewer::Button4_Click);
    onClick(Button7, &FrmDicomViewer::Button7_Click);
    onClick(Button8, &FrmDicomViewer::Button8_Click);
    onClick(Button9, &FrmDicomViewer::Button9_Click);
    onClick(Button10, &FrmDicomViewer::Button10_Click);
    onClick(Command3, &FrmDicomViewer::Command3_Click);
    if (Button1)
        connect(Button1, &brixel::Button::ClickSunken, this, &FrmDicomViewer::Button1_ClickSunken);
    if (Button2)
        connect(Button2, &brixel::Button::ClickSunken, this, &FrmDicomViewer::Button2_ClickSunken);
    connect(Slider1, &QSlider::valueChanged, this, &FrmDicomViewer::Slider1_Change);
    connect(ezDICOMX1, &ViewerDisplay::zoomChanged, this, &FrmDicomViewer::zoomChanged);
    connect(ezDICOMX1, &ViewerDisplay::pointerMoved, this,
        [this](int, int, double value) { pointerMoved(value); });
    connect(ezDICOMX1, &ViewerDisplay::pressed, this, &FrmDicomViewer::displayPressed);
    connect(ezDICOMX1, &ViewerDisplay::clicked, this,
        [this](int x, int y, int button, int) { displayClicked(x, y, button); });
    connect(ezDICOMX1, &ViewerDisplay::beep, this, [] { QApplication::beep(); });
    connectPanel();
}

void FrmDicomViewer::Button3_Click(int index)
{
    for (int k = 1; k <= 5; ++k) {
        brixel::Button* button = Button3[static_cast<std::size_t>(k)];
        if (button == nullptr)
            continue;
        if (k == index) {
            button->setPicture(button->pictureDown());
            button->setBackColor(ColourFromValue(ActiveModeColour));
        } else {
            button->setPicture(brixel::Picture::fromImage(Picture2[static_cast<std::size_t>(k)]));
            button->setBackColor(ColourFromValue(IdleModeColour));
        }
    }
    ezDICOMX1->setPointerTool(index);
    focusFond();
}

void FrmDicomViewer::Button5_Click()
{
    setPointer(Qt::WaitCursor);
    ezDICOMX1->setPolarity(ezDICOMX1->polarity() == -1 ? 1 : -1);
    setPointer(Qt::ArrowCursor);
    focusFond();
}

void FrmDicomViewer::Button6_Click()
{
    setPointer(Qt::WaitCursor);
    ezDICOMX1->restoreDisplay();
    setPointer(Qt::ArrowCursor);
    focusFond();
}

// Button1 sunk: the DICOM data replace the graphics.
void FrmDicomViewer::Button1_Click()
{
    overlay->hide();
    measures->graphics().HideAllGraphics();
    ezDICOMX1->setShowTags(true);
    focusFond();
}

void FrmDicomViewer::Button1_ClickSunken()
{
    ezDICOMX1->setShowTags(false);
    overlay->show();
    redrawAllGraphics();
    focusFond();
}

// Button2 sunk: manual zoom with the slider.
void FrmDicomViewer::Button2_Click()
{
    ezDICOMX1->setFitMode(false);
    ezDICOMX1->setDisplaySwitch(202, true);
    sliderTag.clear();
    Slider1->setEnabled(true);
    Slider1->setValue(100);
    redrawAllGraphics();
    focusFond();
}

// Button2 risen: the image fits the window again.
void FrmDicomViewer::Button2_ClickSunken()
{
    // The tag first: the display's zoom notice must not take the fitted zoom
    // for a manual one.
    sliderTag = QStringLiteral("Fit");
    ezDICOMX1->setFitMode(true);
    showSliderValue(ezDICOMX1->zoomLevel());
    lbZoom->setText(QString::number(ezDICOMX1->zoomLevel()) + QLatin1Char('%'));
    Slider1->setEnabled(false);
    PumpEvents(20);
    redrawAllGraphics();
    focusFond();
}

void FrmDicomViewer::Slider1_Change()
{
    if (sliderTag != QLatin1String("Fit")) {
        ezDICOMX1->setZoomLevel(Slider1->value());
        lbZoom->setText(QString::number(ezDICOMX1->zoomLevel()) + QLatin1Char('%'));
        Button3_Click(PanMode);
        redrawAllGraphics();
    } else if (ezDICOMX1->pointerTool() == PanMode) {
        Button3_Click(ContrastMode);
    }
}

// The slider follows the display's zoom. In manual zoom, a zoom beyond the
// slider's range (the wheel) is shown at the slider's end without being sent
// back to the display, which would undo it.
void FrmDicomViewer::showSliderValue(int zoomLevel)
{
    const bool inRange = zoomLevel >= Slider1->minimum() && zoomLevel <= Slider1->maximum();
    if (inRange || sliderTag == QLatin1String("Fit")) {
        Slider1->setValue(zoomLevel);
        return;
    }
    const QSignalBlocker quiet(Slider1);
    Slider1->setValue(zoomLevel);
}

void FrmDicomViewer::zoomChanged()
{
    lbZoom->setText(QString::number(ezDICOMX1->zoomLevel()) + QLatin1Char('%'));
    showSliderValue(ezDICOMX1->zoomLevel());
}

void FrmDicomViewer::pointerMoved(double value)
{
    lbIntesity->setText(QString::number(qRound64(value)));
}

void FrmDicomViewer::displayPressed()
{
    setPointer(Qt::CrossCursor);
    if (PanelOpen)
        closePanel();
}

void FrmDicomViewer::redrawAllGraphics()
{
    measures->graphics().RedrawAllGraphics();
    overlay->update();
}

void FrmDicomViewer::Button9_Click()
{
    leaveImage();
    exam.ViewerStep = -1;
    if (Button2 && Button2->value())
        Button2->setValue(false);
    LoadImageFromSeries();
    focusFond();
}

void FrmDicomViewer::Button10_Click()
{
    leaveImage();
    exam.ViewerStep = 1;
    if (Button2 && Button2->value())
        Button2->setValue(false);
    LoadImageFromSeries();
    focusFond();
}

void FrmDicomViewer::Button4_Click()
{
    exam.ViewerStep = 0;
    ClosingSelf = true;
    unloadViewer();
}

// Escape and the arrows act when the key is released; QDialog must not close
// on Escape by itself.
void FrmDicomViewer::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Left:
    case Qt::Key_Right:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void FrmDicomViewer::keyReleaseEvent(QKeyEvent* event)
{
    if (event->isAutoRepeat()) {
        QDialog::keyReleaseEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Escape:
        if (MsgBox(QStringLiteral("Voulez-vous quitter le visualisateur ?"), MsgIcon::Question,
                MsgButtons::YesNo)
            == MsgResult::Yes)
            Button4_Click();
        break;
    case Qt::Key_Left:
        if (Button9 && Button9->isVisibleTo(this))
            Button9_Click();
        break;
    case Qt::Key_Right:
        if (Button10 && Button10->isVisibleTo(this))
            Button10_Click();
        break;
    default:
        QDialog::keyReleaseEvent(event);
        return;
    }
    event->accept();
}

} // namespace vexa
