#include "printing/sheet/SheetPrinter.h"

#include "base/core/DialogService.h"
#include "output/picture/PicturePrinter.h"

#include <QDir>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>

namespace vexa {

namespace {

const QString CaptionFont = QStringLiteral("Liberation Sans");

double twipsToDevice(double twips, int resolution)
{
    return twips * resolution / 1440.0;
}

QRect toDevice(const QRect& twips, int resolution)
{
    const auto at
        = [resolution](int value) { return static_cast<int>(std::lround(twipsToDevice(value, resolution))); };
    const int left = at(twips.left());
    const int top = at(twips.top());
    return {left, top, at(twips.left() + twips.width()) - left, at(twips.top() + twips.height()) - top};
}

PrintDestination destination(
    const QString& printerName, const std::optional<QStringList>& installed, const QString& pdfFolder)
{
    const QString folder = pdfFolder.isEmpty() ? defaultPdfFolder() : pdfFolder;
    return choosePrintDestination(printerName, installed ? *installed : QPrinterInfo::availablePrinterNames(),
        folder, QStringLiteral("Planche"));
}

} // namespace

void prepareSheetPrinter(QPrinter& printer, const PrintDestination& destination, PageOrientation orientation)
{
    preparePrinter(printer, destination,
        orientation == PageOrientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

QRect SheetPrinter::printableArea(const QString& printerName, PageOrientation orientation)
{
    const QStringList installed = QPrinterInfo::availablePrinterNames();
    PrintDestination destination;
    destination.printerName = installedPrinterFor(printerName, installed, systemDefaultPrinter());
    QPrinter printer(QPrinter::HighResolution);
    prepareSheetPrinter(printer, destination, orientation);
    const QRectF inches = printer.pageLayout().paintRect(QPageLayout::Inch);
    return {0, 0, static_cast<int>(std::lround(inches.width() * 1440)),
        static_cast<int>(std::lround(inches.height() * 1440))};
}

void SheetPrinter::drawCaption(QPainter& painter, int resolution, const QString& caption)
{
    painter.save();
    painter.setPen(QColor(255, 0, 0));
    QFont font(CaptionFont);
    font.setPointSize(8);
    double y = twipsToDevice(20, resolution);
    // The empty 8-point line moves the position down and back to the left edge.
    y += QFontMetricsF(font, painter.device()).height();
    double x = 0;
    font.setPointSize(12);
    font.setBold(true);
    for (const QString& line : PicturePrinter::captionLines(caption)) {
        painter.setFont(font);
        const QFontMetricsF metrics(font, painter.device());
        painter.drawText(QPointF(x, y + metrics.ascent()), QStringLiteral("   ") + line);
        y += metrics.height() + twipsToDevice(5, resolution);
        x = twipsToDevice(15, resolution);
        font.setPointSize(10);
        font.setBold(false);
        font.setItalic(true);
    }
    painter.restore();
}

SheetPrintOutcome SheetPrinter::print(PageShape shape, const std::vector<SheetPicture>& pictures)
{
    const SheetPrintOutcome outcome = render(shape, pictures);
    tellWhereItWent(outcome);
    return outcome;
}

void SheetPrinter::tellWhereItWent(const SheetPrintOutcome& outcome)
{
    if (outcome.printed && outcome.destination.isPdf()) {
        msgBox(QStringLiteral(
                   "Aucune imprimante n'est installée.\r\nLa page a été enregistrée dans le fichier :\r\n")
                + QDir::toNativeSeparators(outcome.destination.pdfPath),
            MsgIcon::Information);
    }
}

SheetPrintOutcome SheetPrinter::render(PageShape shape, const std::vector<SheetPicture>& pictures) const
{
    SheetPrintOutcome outcome;
    outcome.destination = destination(printerName_, installed_, pdfFolder_);
    if (outcome.destination.isPdf() && !QDir().mkpath(QFileInfo(outcome.destination.pdfPath).path()))
        return outcome;
    QPrinter printer(QPrinter::HighResolution);
    prepareSheetPrinter(printer, outcome.destination, orientation_);
    printer.setCopyCount(std::max(1, copies_));
    printer.setDocName(documentName_);
    QPainter painter;
    if (!painter.begin(&printer))
        return outcome;
    outcome.resolution = printer.resolution();
    const QRectF inches = printer.pageLayout().paintRect(QPageLayout::Inch);
    const QRect printable(0, 0, static_cast<int>(std::lround(inches.width() * 1440)),
        static_cast<int>(std::lround(inches.height() * 1440)));
    // One failing slot is left out; the others are still printed.
    for (const SheetPicture& picture : pictures) {
        if (picture.slot < 1 || picture.slot > std::min(shape.count(), MaxSlots)
            || picture.shownSize.isEmpty() || !picture.render)
            continue;
        const QRect cell = toDevice(
            printedSlotRect(printable, shape, picture.slot, picture.shownSize), outcome.resolution);
        if (cell.isEmpty())
            continue;
        const QImage drawn = picture.render(cell.size());
        if (drawn.isNull())
            continue;
        painter.drawImage(cell, drawn);
        outcome.drawn.emplace_back(picture.slot, cell);
        outcome.hadContent = true;
    }
    if (outcome.hadContent && !caption_.isEmpty())
        drawCaption(painter, outcome.resolution, caption_);
    outcome.printed = painter.end();
    return outcome;
}

} // namespace vexa
