#include "PrintActions.h"
#include "ImageFiles.h"

#include "AppValues.h"
#include "ConquestDatabaseConnector.h"
#include "Dates.h"
#include "DialogService.h"
#include "DicomLoader.h"
#include "DisplayLut.h"
#include "ExamIdentity.h"
#include "ImageRegionRenderer.h"
#include "InterpretationWindow.h"
#include "MainRecordSets.h"
#include "PicturePrinter.h"
#include "PrintSheetWindow.h"
#include "PumpEvents.h"
#include "SeriesNavigator.h"
#include "ViewerTexts.h"

namespace vexa {

namespace {

constexpr int PreviewSide = 512; // the picture's shape; the page gets it rendered anew

// The selected image's exam date (acquisition, else image date) and patient.
void TakeExamFromImage(const RecordSet& images, ExamIdentity& exam)
{
    QString date = images.fieldText(QStringLiteral("AcqDate"));
    if (date.isEmpty())
        date = images.fieldText(QStringLiteral("ImageDate"));
    exam.ViewerExamDate = YyyymmddToDdMmYyyy(date);
    exam.ViewerPatientName = images.fieldText(QStringLiteral("PatientName"));
}

} // namespace

const QString PrintActions::PrintExamQuestion = QStringLiteral(
    "Voulez-vous imprimer le dossier automatiquement ? \r\n(Sinon vous pourez choisir le mode d'impression : "
    "Nombre d'images par page, orientation du papier...)");
const QString PrintActions::AlreadyPrintedQuestion
    = QStringLiteral("Tout ou partie de ce dossier semble voir été imprimé.  \r\nVoulez vous poursuivre ?");
const QString PrintActions::NothingNewText = QStringLiteral("Il n'y a pas d'image nouvelle à imprimer");
const QString PrintActions::PrintingNotice = QStringLiteral("Impression en cours");

PrintActions::PrintActions(MainRecordSets& sets, QWidget* parent)
    : runWindow([](QDialog& window) { return window.exec(); })
    , sets(sets)
    , parent(parent)
{
}

void PrintActions::printExam(bool rightClickMode)
{
    if (!rightClickMode) {
        const MsgResult answer = MsgBox(PrintExamQuestion, MsgIcon::Question, MsgButtons::YesNo,
            QStringLiteral("Impression de l'examen..."), MsgResult::No);
        if (answer != MsgResult::Yes) {
            openPrintSheet();
            return;
        }
    }
    printExamAutomatically();
}

QString PrintActions::captionFromSelectedImage()
{
    ExamIdentity& exam = CurrentExam();
    TakeExamFromImage(sets.examImages, exam);
    return ViewerPrintCaption(appValues().Entete, exam.ViewerPatientName, exam.ViewerExamDate);
}

void PrintActions::openPrintSheet()
{
    PrintSheetWindow window(
        sets, Exam{.seriesUid = CurrentExam().SelectedSeriesUID}, captionFromSelectedImage(), parent);
    window.setWindowState(Qt::WindowMaximized);
    runWindow(window);
}

void PrintActions::printExamAutomatically()
{
    RecordSet& images = sets.examImages;
    if (images.count() == 0)
        return;
    if (showNotice)
        showNotice(PrintingNotice);
    PumpEvents(20);
    bool confirmed = false;
    for (images.moveFirst(); !images.eof(); images.moveNext()) {
        if (images.fieldBool(QStringLiteral("Printed")) && !confirmed) {
            if (MsgBox(AlreadyPrintedQuestion, MsgIcon::Question, MsgButtons::YesNo,
                    QStringLiteral("Impression d'un dossier"))
                != MsgResult::Yes)
                break;
            confirmed = true;
        }
        const QString caption = captionFromSelectedImage();
        ExamIdentity& exam = CurrentExam();
        exam.ViewerImagePath
            = StoredImagePath(appValues().ConquestImagePath, images.fieldText(QStringLiteral("ObjectFile")));
        // An image that could not be printed is not marked printed.
        if (!printImage(exam.ViewerImagePath, caption))
            continue;
        images.edit();
        images.setField(QStringLiteral("Printed"), true);
        images.setField(QStringLiteral("PrintDate"), today());
        images.update();
    }
    images.moveFirst();
}

// One page through the picture printer: the image with its own window (and
// inverted when the settings say so), drawn from its pixels at the page's size.
bool PrintActions::printImage(const QString& path, const QString& caption)
{
    const DicomLoadResult loaded = loadDicomImage(path);
    if (!loaded.ok())
        return false;
    const std::shared_ptr<const DicomImageData> image = loaded.image;
    const bool inverted = appValues().Inverse != image->invertedGrey;
    const DisplayLut lut = makeDisplayLut(*image, image->defaultWindow, inverted);
    const QRectF whole(0, 0, image->columns, image->rows);
    const QSize shape(image->columns, image->rows);
    const QImage preview
        = RenderImageRegion(*image, lut, whole, shape.scaled(PreviewSide, PreviewSide, Qt::KeepAspectRatio));
    PicturePrinter printer;
    printer.setBackColour(Qt::white);
    printer.setLayout(PicturePrinter::LayoutFor(QSizeF(shape)));
    printer.setPicture(
        preview, [image, lut, whole](QSize size) { return RenderImageRegion(*image, lut, whole, size); });
    printer.setCaption(caption);
    printer.setPrinterName(appValues().ImagePrinter);
    return printer.printPage().printed;
}

bool PrintActions::printNewImages()
{
    ConquestDatabaseConnector connector(sets, appValues().ConquestPath);
    QString notice;
    if (!connector.CheckImagesToPrint(appValues().ImagePath, notice)) {
        MsgBox(NothingNewText, MsgIcon::Information, MsgButtons::Ok, QStringLiteral("Impression"));
        return false;
    }
    PrintSheetWindow window(sets, Exam{.seriesUid = CurrentExam().SelectedSeriesUID}, QString(), parent);
    window.setWindowState(Qt::WindowMaximized);
    runWindow(window);
    return true;
}

void PrintActions::openInterpretation()
{
    InterpretationWindow window(Exam{.seriesUid = CurrentExam().SelectedSeriesUID}, appValues().ConquestPath,
        appValues().ConquestImagePath, parent);
    window.setWindowState(Qt::WindowMaximized);
    runWindow(window);
}

} // namespace vexa
