// Printing from the viewer: the image itself (printImageButton) and a copy of the
// screen with its graphics (printScreenButton).
#include "ViewerWindow.h"

#include "AppValues.h"
#include "DialogService.h"
#include "DicomView.h"
#include "MeasurePanel.h"
#include "Numeric.h"
#include "PumpEvents.h"
#include "ScreenCapture.h"
#include "ViewerTexts.h"
#include "WindowOrder.h"

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

QString ViewerWindow::ScreenCopyPath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(folder);
    return QDir(folder).filePath(QStringLiteral("~tmp.bmp"));
}

QRect ViewerWindow::screenCopyArea() const
{
    const QRect shown = view_->visibleScreenRect();
    return QRect(view_->mapTo(this, shown.topLeft()), shown.size());
}

// True once the page was handed to the printer or written as a PDF; the user
// is told when it was not.
bool ViewerWindow::printPicture(const QImage& picture, PicturePrinter::Renderer renderer)
{
    printer.setLayout(PicturePrinter::LayoutFor(picture.size()));
    printer.setPicture(picture, std::move(renderer));
    printer.setCaption(ViewerPrintCaption(appValues().Entete, exam.ViewerPatientName, exam.ViewerExamDate));
    printer.setPrinterName(appValues().ImagePrinter);
    if (printer.printPage().printed)
        return true;
    MsgBox(QStringLiteral("L'impression a échoué : l'image n'a pas été imprimée."), MsgIcon::Exclamation);
    return false;
}

// The visible part of the image, drawn again from its pixels at the size the
// page needs, with the contrast, polarity, zoom and position shown.
void ViewerWindow::printImage()
{
    printNotice->show();
    printNotice->raise();
    PumpEvents(20);
    printedPicture = view_->renderVisible(view_->visibleScreenRect().size());
    if (!printedPicture.isNull()) {
        const DicomView* shown = view_;
        if (printPicture(printedPicture, [shown](QSize size) { return shown->renderVisible(size); })) {
            exam.PrintedInViewer = true;
            printedLabel->setText(QStringLiteral("Oui"));
            printedFrame->show();
        }
    }
    printNotice->hide();
    PauseAfterPrinting(1000);
    PumpEvents(20);
}

// What the window shows of the image, graphics included, through the capture
// canvas and a bitmap file in the user's data folder.
void ViewerWindow::printScreenCopy()
{
    if (panelOpen_)
        closePanel();
    SetWindowTopmost(this);
    PumpEvents(20);
    const QRect area = screenCopyArea(); // once the window is on top and laid out again
    if (!area.isEmpty()) {
        ScreenCapture grab;
        grab.setWidthTwips(PixelsToTwips(area.width() + ScreenCapture::FrameWidth));
        grab.setHeightTwips(PixelsToTwips(area.height() + ScreenCapture::FrameHeight));
        grab.copyFrom(this, area);
        const QString path = ScreenCopyPath();
        QFile::remove(path);
        grab.savePicture(path);
        printedPicture = QImage(path);
    }
    if (!printedPicture.isNull())
        printPicture(printedPicture, {});
    SetWindowNotTopmost(this);
    PumpEvents(20);
}

} // namespace vexa
