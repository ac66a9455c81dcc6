#pragma once
// Prints one sheet of image slots. Each filled slot is drawn in its cell of
// the printable area, the cells and their 150-twip gaps filling it exactly;
// its picture is asked from the slot at the size it takes on the page, so it
// is rendered from the image's own pixels at the printer's resolution. A red
// caption goes over the top left when the page holds a picture. The document
// is ended also when the page is empty. With no printer to print on, the sheet
// becomes a PDF file and the user is told where.
#include "output/picture/PrintDestination.h"
#include "printing/sheet/SlotSheet.h"

#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

class QPainter;
class QPrinter;

namespace vexa {

struct SheetPicture {
    int slot = 0; // 1 to 8
    QSize shownSize; // width and height of what the slot shows, screen pixels
    std::function<QImage(QSize)> render; // the slot's picture at a size in device pixels
};

struct SheetPrintOutcome {
    bool printed = false; // the document was handed over
    bool hadContent = false;
    PrintDestination destination;
    int resolution = 0; // dots per inch of the page
    std::vector<std::pair<int, QRect>> drawn; // slot and its rectangle, device pixels
};

class SheetPrinter {
public:
    void setPrinterName(const QString& name) { printerName_ = name; }
    void setOrientation(PageOrientation value) { orientation_ = value; }
    void setCopies(int value) { copies_ = value; }
    void setCaption(const QString& text) { caption_ = text; }
    // The installed printers are asked from the system unless given here.
    void setInstalledPrinters(std::optional<QStringList> names) { installed_ = std::move(names); }
    void setPdfFolder(const QString& folder) { pdfFolder_ = folder; }
    // The job's title as the print queue shows it.
    void setDocumentName(const QString& name) { documentName_ = name; }

    SheetPrintOutcome print(PageShape shape, const std::vector<SheetPicture>& pictures);
    // The same without telling anybody, for a worker thread (painting on a
    // printer is allowed there); the user-interface thread then calls
    // TellWhereItWent.
    SheetPrintOutcome render(PageShape shape, const std::vector<SheetPicture>& pictures) const;
    static void tellWhereItWent(const SheetPrintOutcome& outcome);

    // The printable area of the page, twips from its own top left corner, on
    // the printer named (else the default printer; with neither: the PDF page).
    static QRect printableArea(const QString& printerName, PageOrientation orientation);
    // Draws the caption's lines: an empty 8-point line, the first line 12-point
    // bold, the others 10-point italic indented 15 twips.
    static void drawCaption(QPainter& painter, int resolution, const QString& caption);

private:
    QString printerName_;
    PageOrientation orientation_ = PageOrientation::Portrait;
    int copies_ = 1;
    QString caption_;
    std::optional<QStringList> installed_;
    QString pdfFolder_;
    QString documentName_ = QStringLiteral("VexaDICOM");
};

// Points a printer at a destination: the named printer with its resolution
// kept under the picture printer's limit, or a PDF file.
void prepareSheetPrinter(QPrinter& printer, const PrintDestination& destination, PageOrientation orientation);

} // namespace vexa
