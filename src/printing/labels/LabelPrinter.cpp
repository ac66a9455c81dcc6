#include "printing/labels/LabelPrinter.h"

#include "base/core/AppValues.h"
#include "base/core/CurrentPrinter.h"
#include "base/core/DialogService.h"
#include "base/core/ProgramTitle.h"
#include "output/picture/PrintDestination.h"

#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace vexa {

namespace {

// A label's size when there is no printer to print on and it becomes a PDF file.
const QPageSize PdfLabelSize(QSizeF(89, 36), QPageSize::Millimeter, QStringLiteral("Label 89 x 36 mm"));

// The printer's own label: its default media, drawn from the top left of the
// area it can print (its smallest margins).
void preparePrinter(QPrinter& printer, const PrintDestination& destination)
{
    if (destination.isPdf()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(destination.pdfPath);
        printer.setPageSize(PdfLabelSize);
        printer.setPageMargins(QMarginsF(2, 2, 2, 2), QPageLayout::Millimeter);
    } else {
        printer.setPrinterName(destination.printerName);
        const QPageSize media = QPrinterInfo::printerInfo(destination.printerName).defaultPageSize();
        if (media.isValid())
            printer.setPageSize(media);
        printer.setPageOrientation(QPageLayout::Portrait);
        const QPageLayout layout = printer.pageLayout();
        printer.setPageMargins(layout.minimumMargins(), layout.units());
    }
    printer.setDocName(QStringLiteral("Etiquette VexaDICOM"));
}

} // namespace

QString labelsDisabledText()
{
    return QStringLiteral("Il n'y a pas d'imprimante-étiquette sur votre station.");
}

QList<LabelLine> labelLines(const LabelExam& exam, const QString& header, int format)
{
    QList<LabelLine> lines;
    if (format == 0)
        lines.append({{header, 8, true}});
    lines.append({{QStringLiteral("Examen du : "), 8, false}, {exam.examDate, 9, false}});
    lines.append({{QStringLiteral("Patient : "), 8, false}, {exam.patientName, 8, true}});
    if (!exam.practitioner.isEmpty())
        lines.append({{QStringLiteral("Praticien : ") + exam.practitioner, 7, false}});
    return lines;
}

QFont labelFont(const LabelText& piece, QPaintDevice* device)
{
    QFont font(QStringLiteral("Liberation Sans"), -1, piece.bold ? QFont::Bold : QFont::Normal);
    font.setPointSizeF(piece.pointSize);
    return QFont(font, device);
}

LabelLine fitLine(const LabelLine& line, qreal width, QPaintDevice* device)
{
    LabelLine fitted;
    qreal x = 0;
    for (const LabelText& piece : line) {
        const QFontMetricsF metrics(labelFont(piece, device), device);
        const qreal pieceWidth = metrics.horizontalAdvance(piece.text);
        if (x + pieceWidth <= width) {
            fitted.append(piece);
            x += pieceWidth;
            continue;
        }
        LabelText shortened = piece;
        shortened.text = metrics.elidedText(piece.text, Qt::ElideRight, width - x);
        if (!shortened.text.isEmpty())
            fitted.append(shortened);
        break;
    }
    return fitted;
}

int LabelPrinter::print(int count, const LabelExam& exam)
{
    const AppValues& settings = appValues();
    if (!settings.isEtiquette) {
        msgBox(labelsDisabledText(), MsgIcon::Exclamation, MsgButtons::Ok, ProgramTitle);
        return 0;
    }
    const QList<LabelLine> lines = labelLines(exam, settings.entete, settings.formatEtiquette);
    const QStringList printers = installed_ ? *installed_ : QPrinterInfo::availablePrinterNames();
    int printed = 0;
    for (int label = 0; label < count; ++label) {
        if (printOne(lines, printers))
            ++printed;
        selectPrinterByName(settings.imagePrinter, printers);
    }
    return printed;
}

bool LabelPrinter::printOne(const QList<LabelLine>& lines, const QStringList& printers)
{
    const QString folder = pdfFolder_.isEmpty() ? defaultPdfFolder() : pdfFolder_;
    const PrintDestination destination
        = choosePrintDestination(appValues().etiquettePrinter, printers, folder, QStringLiteral("Etiquette"));
    if (destination.isPdf() && !QDir().mkpath(folder))
        return false;
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer, destination);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    // The painter's origin is the top left of the printable area.
    const qreal width = printer.pageLayout().paintRectPixels(printer.resolution()).width();
    qreal top = 0;
    for (const LabelLine& line : lines) {
        const LabelLine fitted = fitLine(line, width, &printer);
        // An empty piece still takes its line.
        qreal ascent = 0, height = 0;
        for (const LabelText& piece : line) {
            const QFontMetricsF metrics(labelFont(piece, &printer), &printer);
            ascent = std::max(ascent, metrics.ascent());
            height = std::max(height, metrics.height());
        }
        qreal x = 0;
        for (const LabelText& piece : fitted) {
            const QFont font = labelFont(piece, &printer);
            painter.setFont(font);
            painter.drawText(QPointF(x, top + ascent), piece.text);
            x += QFontMetricsF(font, &printer).horizontalAdvance(piece.text);
        }
        top += height;
    }
    if (!painter.end())
        return false;
    if (destination.isPdf()) {
        msgBox(QStringLiteral("Aucune imprimante n'est installée.\r\nL'étiquette a été enregistrée dans le "
                              "fichier :\r\n")
                + QDir::toNativeSeparators(destination.pdfPath),
            MsgIcon::Information);
    }
    return true;
}

} // namespace vexa
