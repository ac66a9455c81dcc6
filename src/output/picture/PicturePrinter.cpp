#include "output/picture/PicturePrinter.h"

#include "base/core/DialogService.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>

namespace vexa {

namespace {

const QString CaptionFont = QStringLiteral("Liberation Sans");
constexpr double CaptionMarginInches = 20.0 / 1440.0; // the caption starts 20 twips in

void tellPdfWritten(const QString& path)
{
    msgBox(QStringLiteral(
               "Aucune imprimante n'est installée.\r\nL'image a été enregistrée dans le fichier :\r\n")
            + QDir::toNativeSeparators(path),
        MsgIcon::Information);
}

} // namespace

int PicturePrinter::layoutFor(QSizeF picture)
{
    return picture.height() > 0 && picture.width() / picture.height() <= 1.0 ? PortraitLayout
                                                                             : LandscapeLayout;
}

void PicturePrinter::setPicture(const QImage& image, Renderer render)
{
    picture_ = image;
    renderer_ = std::move(render);
}

QStringList PicturePrinter::captionLines(const QString& caption)
{
    QStringList lines = caption.split(QLatin1Char('|'));
    if (lines.size() == 1)
        lines << QString();
    return lines;
}

QSize PicturePrinter::fittedSize(QSizeF shape, QSize area)
{
    if (shape.isEmpty() || area.isEmpty())
        return {};
    const double scale = std::min(area.width() / shape.width(), area.height() / shape.height());
    return {std::max(1, static_cast<int>(std::floor(shape.width() * scale))),
        std::max(1, static_cast<int>(std::floor(shape.height() * scale)))};
}

QImage PicturePrinter::pictureAt(QSize size) const
{
    if (renderer_) {
        QImage rendered = renderer_(size);
        if (rendered.size() == size)
            return rendered;
    }
    return picture_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// Red caption over the top left of the page: the first line 12-point bold,
// the others 10-point italic. Answers the height it takes, device pixels.
int PicturePrinter::drawCaption(QPainter& painter, int resolution) const
{
    if (captionText_.isEmpty())
        return 0;
    painter.setPen(QColor(255, 0, 0));
    QFont font(CaptionFont);
    font.setPointSize(8);
    int y
        = static_cast<int>(CaptionMarginInches * resolution) + QFontMetrics(font, painter.device()).height();
    const int x = static_cast<int>(CaptionMarginInches * resolution);
    font.setPointSize(12);
    font.setBold(true);
    for (const QString& line : captionLines(captionText_)) {
        painter.setFont(font);
        const QFontMetrics metrics(font, painter.device());
        y += metrics.height();
        painter.drawText(x, y - metrics.descent(), QStringLiteral("   ") + line);
        font.setPointSize(10);
        font.setBold(false);
        font.setItalic(true);
    }
    return y + resolution / 20;
}

PrintOutcome PicturePrinter::printPage()
{
    const PrintOutcome outcome = renderPage();
    tellWhereItWent(outcome);
    return outcome;
}

void PicturePrinter::tellWhereItWent(const PrintOutcome& outcome)
{
    if (outcome.printed && outcome.destination.isPdf())
        tellPdfWritten(outcome.destination.pdfPath);
}

PrintOutcome PicturePrinter::renderPage() const
{
    PrintOutcome outcome;
    const QString folder = pdfFolder_.isEmpty() ? defaultPdfFolder() : pdfFolder_;
    outcome.destination = choosePrintDestination(printerName_,
        installed_ ? *installed_ : QPrinterInfo::availablePrinterNames(), folder, QStringLiteral("Image"));
    if (outcome.destination.isPdf() && !QDir().mkpath(folder))
        return outcome;
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer, outcome.destination, orientation());
    QPainter painter;
    if (!painter.begin(&printer))
        return outcome;
    drawPage(painter, printer, outcome);
    outcome.printed = painter.end();
    return outcome;
}

QPageLayout::Orientation PicturePrinter::orientation() const
{
    return layout_ == LandscapeLayout ? QPageLayout::Landscape : QPageLayout::Portrait;
}

void PicturePrinter::drawPage(QPainter& painter, const QPrinter& printer, PrintOutcome& outcome) const
{
    outcome.resolution = printer.resolution();
    const QRect page(QPoint(0, 0), printer.pageLayout().paintRectPixels(outcome.resolution).size());
    if (back_ != Qt::white)
        painter.fillRect(page, back_);
    const int captionHeight = drawCaption(painter, outcome.resolution);
    const QRect area = page.adjusted(0, captionHeight, 0, 0);
    const QSizeF shape = picture_.isNull() ? QSizeF() : QSizeF(picture_.size());
    outcome.picturePixels = fittedSize(shape, area.size());
    if (!outcome.picturePixels.isEmpty()) {
        const QImage drawn = pictureAt(outcome.picturePixels);
        const QPoint corner(
            area.x() + (area.width() - drawn.width()) / 2, area.y() + (area.height() - drawn.height()) / 2);
        painter.drawImage(corner, drawn);
    }
}

PictureBook::PictureBook(PrintDestination destination)
    : destination_(std::move(destination))
    , printer_(std::make_unique<QPrinter>(QPrinter::HighResolution))
    , painter_(std::make_unique<QPainter>())
{
}

PictureBook::~PictureBook()
{
    finish();
}

bool PictureBook::add(const PicturePrinter& page)
{
    if (failed_ || finished_)
        return false;
    if (pages_ == 0) {
        if (destination_.isPdf() && !QDir().mkpath(QFileInfo(destination_.pdfPath).path()))
            failed_ = true;
        preparePrinter(*printer_, destination_, page.orientation());
        failed_ = failed_ || !painter_->begin(printer_.get());
    } else {
        // Each page takes the shape of its own picture.
        printer_->setPageOrientation(page.orientation());
        failed_ = !printer_->newPage();
    }
    if (failed_)
        return false;
    PrintOutcome outcome;
    page.drawPage(*painter_, *printer_, outcome);
    ++pages_;
    return true;
}

bool PictureBook::finish()
{
    if (!finished_) {
        finished_ = true;
        if (painter_->isActive())
            failed_ = !painter_->end() || failed_;
    }
    return pages_ > 0 && !failed_;
}

void preparePrinter(
    QPrinter& printer, const PrintDestination& destination, QPageLayout::Orientation orientation)
{
    if (destination.isPdf()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        if (!destination.pdfPath.isEmpty())
            printer.setOutputFileName(destination.pdfPath);
        printer.setResolution(PicturePrinter::PdfResolution);
    } else {
        printer.setPrinterName(destination.printerName);
        if (printer.resolution() > PicturePrinter::MaxResolution)
            printer.setResolution(PicturePrinter::MaxResolution);
    }
    printer.setPageOrientation(orientation);
    printer.setDocName(QStringLiteral("VexaDICOM"));
}

} // namespace vexa
