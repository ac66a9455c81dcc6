// Printing from the viewer: the image itself (printImageButton) and a copy of the
// screen with its graphics (printScreenButton).
#include "viewer/window/ViewerWindow.h"

#include "base/core/AppValues.h"
#include "base/core/DialogService.h"
#include "base/core/Numeric.h"
#include "base/ui/BackgroundWork.h"
#include "base/ui/WindowOrder.h"
#include "output/capture/ScreenCapture.h"
#include "pacsdb/ExamChecks.h"
#include "pacsdb/RecordSet.h"
#include "viewer/view/DicomView.h"
#include "viewer/window/MeasurePanel.h"
#include "viewer/window/ViewerTexts.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QStandardPaths>

namespace vexa {

const QString ViewerWindow::ImageDeletedText
    = QStringLiteral("Cette image a été supprimée depuis un autre poste : elle n'est pas imprimée.");

QString ViewerWindow::screenCopyPath()
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

// The image shown is still in the database. One deleted by another
// workstation meanwhile is said so and marked gone; nothing is printed.
bool ViewerWindow::shownImageStillThere()
{
    if (requestedSop_.isEmpty())
        return true; // a file the opener named without its key
    const QString database = images_ ? images_->databasePath() : appValues().conquestPath;
    if (imageStillThere(database, requestedSop_))
        return true;
    outcome_.imageDeleted = true;
    printedLabel_->setText(QStringLiteral("Supprimée"));
    msgBox(ImageDeletedText, MsgIcon::Exclamation);
    return false;
}

// True once the page was handed to the printer or written as a PDF; the user
// is told when it was not. The page is drawn on a worker thread behind a
// waiting window modal to the viewer.
bool ViewerWindow::printPicture(const QImage& picture, PicturePrinter::Renderer renderer)
{
    printer_.setLayout(PicturePrinter::layoutFor(picture.size()));
    printer_.setPicture(picture, std::move(renderer));
    printer_.setCaption(viewerPrintCaption(appValues().entete, patientName_, examDate_));
    printer_.setPrinterName(appValues().imagePrinter);
    const PicturePrinter page = printer_;
    const PrintOutcome outcome = runInBackground<PrintOutcome>(this,
        {QStringLiteral("Veuillez patienter :  Impression de l'image en cours..."), false},
        [&page](WorkProgress&) { return page.renderPage(); });
    PicturePrinter::tellWhereItWent(outcome);
    if (outcome.printed)
        return true;
    msgBox(QStringLiteral("L'impression a échoué : l'image n'a pas été imprimée."), MsgIcon::Exclamation);
    return false;
}

// The visible part of the image, drawn again from its pixels at the size the
// page needs, with the contrast, polarity, zoom and position shown.
void ViewerWindow::printImage()
{
    if (shownPath_.isEmpty()) {
        QApplication::beep(); // the image asked for is not there yet
        return;
    }
    if (!shownImageStillThere())
        return;
    printNotice_->show();
    printNotice_->raise();
    printedPicture_ = view_->renderVisible(view_->visibleScreenRect().size());
    if (!printedPicture_.isNull() && printPicture(printedPicture_, view_->visibleRenderer())) {
        if (singleImage_)
            outcome_.printed = true;
        else
            printedSop_ = requestedSop_;
        printedLabel_->setText(QStringLiteral("Oui"));
        printedFrame_->show();
    }
    printNotice_->hide();
}

// What the window shows of the image, graphics included, through the capture
// canvas and a bitmap file in the user's data folder.
void ViewerWindow::printScreenCopy()
{
    if (shownPath_.isEmpty()) {
        QApplication::beep();
        return;
    }
    if (!shownImageStillThere())
        return;
    if (panelOpen_)
        closePanel();
    setWindowTopmost(this);
    const QRect area = screenCopyArea(); // once the window is on top and laid out again
    if (!area.isEmpty()) {
        ScreenCapture grab;
        grab.setWidthTwips(pixelsToTwips(area.width() + ScreenCapture::FrameWidth));
        grab.setHeightTwips(pixelsToTwips(area.height() + ScreenCapture::FrameHeight));
        grab.copyFrom(this, area);
        const QString path = screenCopyPath();
        QFile::remove(path);
        grab.savePicture(path);
        printedPicture_ = QImage(path);
    }
    if (!printedPicture_.isNull())
        printPicture(printedPicture_, {});
    setWindowNotTopmost(this);
}

} // namespace vexa
