// The viewer's measurement panel and the mouse on the image, handed to the
// measurement controller.
#include "FrmDicomViewer.h"

#include "MeasurePanel.h"
#include "MeasurementController.h"
#include "MeasurementOverlay.h"
#include "Numeric.h"
#include "ViewerDisplay.h"

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

void FrmDicomViewer::connectPanel()
{
    connect(ToolBox1, &MeasurePanel::toolClicked, this, &FrmDicomViewer::Command2_Click);
    connect(ToolBox1, &MeasurePanel::presetClicked, this, &FrmDicomViewer::Command4_Click);
    connect(ToolBox1, &MeasurePanel::widenClicked, this, &FrmDicomViewer::Command1_Click);
    connect(ToolBox1, &MeasurePanel::closeClicked, this, &FrmDicomViewer::closePanel);
    connect(ToolBox1->Text1, &QLineEdit::textChanged, measures, &MeasurementController::setTextToPlace);
    connect(ToolBox1->Combo1, &QComboBox::currentTextChanged, measures, &MeasurementController::setTextSize);
    connect(measures, &MeasurementController::cursorChanged, this,
        [this](Qt::CursorShape shape) { ezDICOMX1->widget()->setCursor(shape); });
}

void FrmDicomViewer::updateMeasureImage()
{
    const DisplaySpacing spacing = ezDICOMX1->spacing();
    PixelSpacing measureSpacing;
    if (spacing.fromFile)
        measureSpacing = {spacing.column, spacing.row,
            spacing.atDetector ? SpacingOrigin::Detector : SpacingOrigin::Patient};
    measures->setImage(ezDICOMX1->imageSize(), measureSpacing);
}

// The panel slides out to the left of the tool column.
void FrmDicomViewer::placePanel()
{
    ToolBox1->move(Picture1->x() - ToolBox1->width(), 0);
    ToolBox1->raise();
}

void FrmDicomViewer::Command3_Click()
{
    PanelOpen = true;
    placePanel();
}

void FrmDicomViewer::Command1_Click()
{
    ToolBox1->resize(TwipsToPixels(MeasurePanel::WideWidthTwips), ToolBox1->height());
    PanelOpen = true;
    placePanel();
}

void FrmDicomViewer::closePanel()
{
    PanelOpen = false;
    ToolBox1->resize(TwipsToPixels(MeasurePanel::ClosedWidthTwips), ToolBox1->height());
    ToolBox1->move(Picture1->x(), 0);
    ToolBox1->lower();
    if (Command3)
        Command3->setPicture(brixel::Picture::fromImage(Picture2[0]));
}

void FrmDicomViewer::Command2_Click(int index)
{
    measures->setTextToPlace(ToolBox1->Text1->text());
    measures->setTextSize(ToolBox1->Combo1->currentText());
    if (!measures->choose(static_cast<MeasurementController::PanelCommand>(index)))
        return; // 50 graphics already: the panel stays out
    closePanel();
    redrawAllGraphics();
    focusFond();
}

void FrmDicomViewer::Command4_Click(int index)
{
    measures->choosePreset(index);
    const QSignalBlocker quietText(ToolBox1->Text1);
    const QSignalBlocker quietSize(ToolBox1->Combo1);
    ToolBox1->Text1->setText(measures->text());
    ToolBox1->Combo1->setEditText(measures->size());
}

// Handle drags belong to the measurements: the display does not see them.
bool FrmDicomViewer::displayMouse(QEvent* event)
{
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPointF image = ezDICOMX1->pixelAt(mouse->position());
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (!handleDrag && measures->press(image, mouse->button()))
            handleDrag = true;
        return handleDrag;
    case QEvent::MouseMove:
        measures->move(image, mouse->buttons());
        return handleDrag;
    case QEvent::MouseButtonRelease:
        if (!handleDrag)
            return false;
        measures->release(image, mouse->button());
        handleDrag = false;
        return true;
    default:
        return false;
    }
}

void FrmDicomViewer::displayClicked(int x, int y, int button)
{
    measures->click(ezDICOMX1->pixelAt(QPointF(x, y)), buttonOf(button));
}

bool FrmDicomViewer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ezDICOMX1->widget()) {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseMove
            || type == QEvent::MouseButtonRelease)
            return displayMouse(event);
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vexa
