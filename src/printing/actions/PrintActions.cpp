#include "printing/actions/PrintActions.h"

#include "base/core/AppValues.h"
#include "base/core/Dates.h"
#include "base/core/DialogService.h"
#include "base/core/Log.h"
#include "base/ui/BackgroundWork.h"
#include "browser/ExamRows.h"
#include "dicom/DicomLoader.h"
#include "dicom/DisplayLut.h"
#include "output/picture/PicturePrinter.h"
#include "pacsdb/ConquestColumns.h"
#include "pacsdb/ExamChecks.h"
#include "pacsdb/ImageFiles.h"
#include "pacsdb/ImageRows.h"
#include "pacsdb/MainRecordSets.h"
#include "pacsdb/QueryCatalogue.h"
#include "printing/interpretation/InterpretationWindow.h"
#include "printing/sheet/PrintSheetWindow.h"
#include "viewer/view/ImageRegionRenderer.h"
#include "viewer/window/ViewerTexts.h"

#include <QDir>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <algorithm>
#include <memory>

namespace vexa {

namespace {

constexpr int PreviewSide = 512; // the picture's shape; the page gets it rendered anew

// An image of the exam as the automatic print takes it at its start.
struct ExamImageToPrint {
    QString sopInstance;
    PrintActions::Page page;
    bool printed = false;
};

// The caption of an image row: the header, its patient and its day
// (acquisition, else image date).
QString captionOfImage(const RecordSet& images)
{
    return viewerPrintCaption(appValues().entete, images.fieldText(col::PatientName), examDayOfImage(images));
}

// The exam's images read now by its series UID, not from page 2's list.
bool readImagesToPrint(const QString& conquestPath, const Exam& exam, std::vector<ExamImageToPrint>& images)
{
    const AppValues& values = appValues();
    RecordSet rows(QStringLiteral("imagesToPrint"));
    rows.setDatabasePath(conquestPath);
    rows.setRecordSource(sql::imagesOfSeries(exam.seriesUid));
    if (!rows.requery())
        return false;
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        ExamImageToPrint image;
        image.sopInstance = rows.fieldText(col::SopInstance);
        image.page.imagePath = storedImagePath(values.conquestImagePath, rows.fieldText(col::ObjectFile));
        image.page.caption = captionOfImage(rows);
        image.page.inverse = values.inverse;
        image.page.printer = values.imagePrinter;
        image.printed = rows.fieldBool(col::Printed);
        images.push_back(image);
    }
    return true;
}

struct PrintRun {
    int printed = 0;
    QString markError; // the first mark that failed
    QStringList unmarked; // pages of a book, marked once the book is written
};

// The PDF's name names the patient; characters a file name cannot hold become "_".
QString examPdfBaseName(const Exam& exam)
{
    static const QRegularExpression unsafe(QStringLiteral(R"([/\\:*?"<>|])"));
    QString name = exam.patientName.trimmed();
    name.replace(unsafe, QStringLiteral("_"));
    return name.isEmpty() ? QStringLiteral("Examen") : QStringLiteral("Examen ") + name;
}

QString marked(const QString& conquestPath, const QString& sopInstance, const QDate& day)
{
    const ExamWrite mark = markImagePrinted(conquestPath, sopInstance, day);
    return mark.outcome == ExamWrite::Failed ? mark.error : QString();
}

// The book's pages are marked once the file is written whole; the user is
// told once where it is.
void finishBook(PictureBook& book, PrintRun& run, const QDate& day)
{
    const QString path = QDir::toNativeSeparators(book.destination().pdfPath);
    const bool written = book.finish();
    if (book.pages() == 0)
        return;
    if (!written) {
        msgBox(PrintActions::ExamPdfFailedText + path, MsgIcon::Critical, MsgButtons::Ok,
            QStringLiteral("Impression d'un dossier"));
        return;
    }
    for (const QString& sopInstance : run.unmarked) {
        const QString error = marked(appValues().conquestPath, sopInstance, day);
        if (run.markError.isEmpty())
            run.markError = error;
    }
    msgBox(PrintActions::ExamPdfText.arg(book.pages()) + path, MsgIcon::Information, MsgButtons::Ok,
        QStringLiteral("Impression d'un dossier"));
}

} // namespace

const QString PrintActions::PrintExamQuestion
    = QStringLiteral("Voulez-vous imprimer le dossier automatiquement ? \r\n(Sinon vous pourrez choisir le "
                     "mode d'impression : "
                     "Nombre d'images par page, orientation du papier...)");
const QString PrintActions::AlreadyPrintedQuestion
    = QStringLiteral("Tout ou partie de ce dossier semble avoir été imprimé.  \r\nVoulez-vous poursuivre ?");
const QString PrintActions::NothingNewText = QStringLiteral("Il n'y a pas d'image nouvelle à imprimer");
const QString PrintActions::PrintingNotice = QStringLiteral("Impression en cours");
const QString PrintActions::MarkFailedText
    = QStringLiteral("Les images imprimées n'ont pas pu être marquées comme imprimées :\r\n");
const QString PrintActions::ExamPdfText = QStringLiteral(
    "Aucune imprimante n'est disponible.\r\nLe dossier (%1 page(s)) a été enregistré dans le fichier :\r\n");
const QString PrintActions::ExamPdfFailedText
    = QStringLiteral("Aucune imprimante n'est disponible et le fichier PDF n'a pas pu être écrit :\r\n");

PrintActions::PrintActions(MainRecordSets& sets, QWidget* parent)
    : runWindow([](QDialog& window) { return window.exec(); })
    , sets_(sets)
    , parent_(parent)
{
}

void PrintActions::printExam(const Exam& exam, bool rightClickMode)
{
    if (!rightClickMode) {
        const MsgResult answer = msgBox(PrintExamQuestion, MsgIcon::Question, MsgButtons::YesNo,
            QStringLiteral("Impression de l'examen..."), MsgResult::No);
        if (answer != MsgResult::Yes) {
            openPrintSheet(exam);
            return;
        }
    }
    printExamAutomatically(exam);
}

bool PrintActions::examStillThere(const Exam& exam)
{
    const ExamWrite check = checkExamStillThere(appValues().conquestPath, exam);
    if (check.outcome == ExamWrite::Gone)
        msgBox(examDeletedElsewhereText(), MsgIcon::Exclamation, MsgButtons::Ok,
            QStringLiteral("Impression d'un dossier"));
    return check.written();
}

void PrintActions::openPrintSheet(const Exam& exam)
{
    if (!exam.isValid() || !examStillThere(exam))
        return;
    // The selected image's caption while page 2 shows this exam, else the exam's own.
    const RecordSet& images = sets_.examImages;
    const bool shown = images.currentRow() >= 0 && images.fieldText(col::SeriesInst) == exam.seriesUid;
    const QString caption = shown ? captionOfImage(images)
                                  : viewerPrintCaption(appValues().entete, exam.patientName, exam.examDate);
    PrintSheetWindow window(sets_, exam, caption, parent_);
    window.setWindowState(Qt::WindowMaximized);
    runWindow(window);
}

void PrintActions::printExamAutomatically(const Exam& exam)
{
    // One print at a time: a second start while pages are made is refused.
    if (!exam.isValid() || backgroundWorkRunning() || !examStillThere(exam))
        return;
    const QString conquestPath = appValues().conquestPath;
    std::vector<ExamImageToPrint> images;
    if (!readImagesToPrint(conquestPath, exam, images) || images.empty())
        return;
    // The question comes before the first page already printed; No prints
    // only the pages before it.
    const auto firstPrinted = std::find_if(
        images.begin(), images.end(), [](const ExamImageToPrint& image) { return image.printed; });
    if (firstPrinted != images.end()
        && msgBox(AlreadyPrintedQuestion, MsgIcon::Question, MsgButtons::YesNo,
               QStringLiteral("Impression d'un dossier"))
            != MsgResult::Yes)
        images.erase(firstPrinted, images.end());
    if (images.empty())
        return;
    if (showNotice)
        showNotice(PrintingNotice);
    // Where the pages go is settled once: with no printer, every page goes
    // into one PDF file, told once at the end.
    const QString folder = pdfFolder.isEmpty() ? defaultPdfFolder() : pdfFolder;
    const PrintDestination destination = choosePrintDestination(appValues().imagePrinter,
        installedPrinters ? *installedPrinters : QPrinterInfo::availablePrinterNames(), folder,
        examPdfBaseName(exam));
    std::unique_ptr<PictureBook> book;
    if (destination.isPdf())
        book = std::make_unique<PictureBook>(destination);
    for (ExamImageToPrint& image : images)
        image.page.book = book.get();
    const QDate day = today();
    const PagePrinter print = printPage;
    TimedAction timed(QStringLiteral("Impression d'un dossier"));
    PrintRun run = runInBackground<PrintRun>(parent_, {PrintingNotice, true},
        [&images, &print, conquestPath, day, inBook = book.get()](WorkProgress& progress) {
            PrintRun done;
            const int total = static_cast<int>(images.size());
            for (int i = 0; i < total && !progress.cancelled(); ++i) {
                progress.report(i, total);
                // An image deleted elsewhere meanwhile is neither printed nor marked.
                const ExamImageToPrint& image = images[i];
                const int bookPages = inBook ? inBook->pages() : 0;
                if (!imageStillThere(conquestPath, image.sopInstance) || !print(image.page))
                    continue;
                ++done.printed;
                // A page of the book is marked once the book is written.
                if (inBook && inBook->pages() > bookPages) {
                    done.unmarked << image.sopInstance;
                    continue;
                }
                const QString error = marked(conquestPath, image.sopInstance, day);
                if (done.markError.isEmpty())
                    done.markError = error;
            }
            return done;
        });
    if (book)
        finishBook(*book, run, day);
    if (!run.markError.isEmpty())
        msgBox(MarkFailedText + run.markError, MsgIcon::Critical, MsgButtons::Ok,
            QStringLiteral("Impression d'un dossier"));
    if (sets_.examImages.fieldText(col::SeriesInst) == exam.seriesUid)
        sets_.examImages.moveFirst();
}

// One page through the picture printer: the image with its own window (and
// inverted when the settings say so), drawn from its pixels at the page's size.
bool PrintActions::printImagePage(const Page& page)
{
    const DicomLoadResult loaded = loadDicomImage(page.imagePath);
    if (!loaded.ok())
        return false;
    const std::shared_ptr<const DicomImageData> image = loaded.image;
    const bool inverted = page.inverse != image->invertedGrey;
    const DisplayLut lut = makeDisplayLut(*image, image->defaultWindow, inverted);
    const QRectF whole(0, 0, image->columns, image->rows);
    const QSize shape(image->columns, image->rows);
    const QImage preview
        = renderImageRegion(*image, lut, whole, shape.scaled(PreviewSide, PreviewSide, Qt::KeepAspectRatio));
    PicturePrinter printer;
    printer.setBackColour(Qt::white);
    printer.setLayout(PicturePrinter::layoutFor(QSizeF(shape)));
    printer.setPicture(
        preview, [image, lut, whole](QSize size) { return renderImageRegion(*image, lut, whole, size); });
    printer.setCaption(page.caption);
    printer.setPrinterName(page.printer);
    if (page.book)
        return page.book->add(printer);
    return printer.printPage().printed;
}

// The images of the day not printed yet, one patient at a time; the opened
// exam's patient comes first when some of its images wait.
bool PrintActions::printNewImages(const Exam& opened)
{
    std::vector<SheetPatient> patients
        = readImagesWaitingToPrint(appValues().conquestPath, today()).value_or(std::vector<SheetPatient>{});
    if (patients.empty()) {
        msgBox(NothingNewText, MsgIcon::Information, MsgButtons::Ok, QStringLiteral("Impression"));
        return false;
    }
    std::stable_partition(patients.begin(), patients.end(), [&opened](const SheetPatient& patient) {
        return opened.isValid()
            && std::any_of(patient.images.begin(), patient.images.end(),
                [&opened](const SheetImage& image) { return image.seriesUid == opened.seriesUid; });
    });
    PrintSheetWindow window(sets_, std::move(patients), parent_);
    window.setWindowState(Qt::WindowMaximized);
    runWindow(window);
    return true;
}

void PrintActions::openInterpretation(const Exam& exam)
{
    if (!exam.isValid() || !examStillThere(exam))
        return;
    InterpretationWindow window(exam, appValues().conquestPath, appValues().conquestImagePath, parent_);
    window.setWindowState(Qt::WindowMaximized);
    runWindow(window);
}

} // namespace vexa
