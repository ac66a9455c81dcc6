// Printing from the viewer: the image itself (Button7) and a copy of the
// screen with its graphics (Button8).
#include "FrmDicomViewer.h"

#include "API.h"
#include "AppValues.h"
#include "MeasurePanel.h"
#include "Misc.h"
#include "Numeric.h"
#include "ViewerDisplay.h"
#include "ViewerTexts.h"
#include "frmGrab.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QStandardPaths>

namespace vexa {

namespace {

// Leaves the print notice's result on screen a moment, events still running.
void PauseAfterPrinting(int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace

QString FrmDicomViewer::ScreenCopyPath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(folder);
    return QDir(folder).filePath(QStringLiteral("~tmp.bmp"));
}

QRect FrmDicomViewer::screenCopyArea() const
{
    const QRect shown = ezDICOMX1->visibleScreenRect();
    return QRect(ezDICOMX1->widget()->mapTo(this, shown.topLeft()), shown.size());
}

void FrmDicomViewer::printPicture(const QImage& picture, PicturePrinter::Renderer renderer)
{
    printer.setLayout(PicturePrinter::LayoutFor(picture.size()));
    printer.setPicture(picture, std::move(renderer));
    printer.setCaption(ViewerPrintCaption(appValues().Entete, exam.ViewerPatientName, exam.ViewerExamDate));
    printer.setPrinterName(appValues().ImagePrinter);
    printer.printPage();
}

// The visible part of the image, drawn again from its pixels at the size the
// page needs, with the contrast, polarity, zoom and position shown.
void FrmDicomViewer::Button7_Click()
{
    Picture5->show();
    Picture5->raise();
    PumpEvents(20);
    ezDICOMX1->setDisplaySwitch(219, false);
    PicturePrint = ezDICOMX1->renderVisible(ezDICOMX1->visibleScreenRect().size());
    if (!PicturePrint.isNull()) {
        const ViewerDisplay* shown = ezDICOMX1;
        printPicture(PicturePrint, [shown](QSize size) { return shown->renderVisible(size); });
        exam.PrintedInViewer = true;
        Label4->setText(QStringLiteral("Oui"));
        Frame3->show();
    }
    Picture5->hide();
    PauseAfterPrinting(1000);
    PumpEvents(20);
}

// What the window shows of the image, graphics included, through the capture
// canvas and a bitmap file in the user's data folder.
void FrmDicomViewer::Button8_Click()
{
    if (PanelOpen)
        closePanel();
    SetWindowTopmost(this);
    PumpEvents(20);
    const QRect area = screenCopyArea(); // once the window is on top and laid out again
    if (!area.isEmpty()) {
        frmGrab grab;
        grab.setWidthTwips(PixelsToTwips(area.width() + frmGrab::FrameWidth));
        grab.setHeightTwips(PixelsToTwips(area.height() + frmGrab::FrameHeight));
        grab.copyFrom(this, area);
        const QString path = ScreenCopyPath();
        QFile::remove(path);
        grab.savePicture(path);
        PicturePrint = QImage(path);
    }
    if (!PicturePrint.isNull())
        printPicture(PicturePrint, {});
    SetWindowNotTopmost(this);
    PumpEvents(20);
}

} // namespace vexa
