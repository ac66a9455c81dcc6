#pragma once
// Prints one picture on one page, fitted and centred below a red caption whose
// lines are separated by "|". It is handed, in this order, a layout value, the
// picture, the caption and a printer name, then prints one page.
//
// The picture is drawn at the printer's resolution: when a renderer is given
// it is asked for the picture at exactly the size it takes on the page, so an
// image is printed from its source pixels instead of an enlarged screen copy.
#include "output/picture/PrintDestination.h"

#include <QColor>
#include <QImage>
#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QPainter;
class QPrinter;

namespace vexa {

struct PrintOutcome {
    bool printed = false;
    PrintDestination destination;
    QSize picturePixels; // size of the picture as drawn, device pixels
    int resolution = 0; // dots per inch of the page
};

class PicturePrinter {
public:
    // Renders the picture at a size in device pixels.
    using Renderer = std::function<QImage(QSize)>;

    // 2: portrait page; 4: landscape page (other values print portrait).
    static constexpr int PortraitLayout = 2;
    static constexpr int LandscapeLayout = 4;
    // The layout an upright or square picture gets (2), else 4.
    static int layoutFor(QSizeF picture);

    void setBackColour(const QColor& colour) { back_ = colour; }
    void setLayout(int value) { layout_ = value; }
    // The picture, and optionally a renderer giving it at any size.
    void setPicture(const QImage& picture, Renderer renderer = {});
    void setCaption(const QString& caption) { captionText_ = caption; }
    void setPrinterName(const QString& name) { printerName_ = name; }

    // Prints one page. With no printer to print on (see ChoosePrintDestination)
    // the page becomes a PDF file and the user is told where it is.
    PrintOutcome printPage();
    // The same without telling anybody: any thread may run it (painting on a
    // printer is allowed off the user-interface thread); the user-interface
    // thread then calls TellWhereItWent.
    PrintOutcome renderPage() const;
    // Tells the user where a page written as a PDF file went; nothing else.
    static void tellWhereItWent(const PrintOutcome& outcome);
    // Draws the page on a printer already painted on (a page of a book).
    void drawPage(QPainter& painter, const QPrinter& printer, PrintOutcome& outcome) const;
    QPageLayout::Orientation orientation() const;

    // The installed printers are asked from the system unless given here.
    void setInstalledPrinters(std::optional<QStringList> names) { installed_ = std::move(names); }
    void setPdfFolder(const QString& folder) { pdfFolder_ = folder; }

    // The caption's lines: split at every "|"; a caption without "|" is its
    // line followed by an empty one.
    static QStringList captionLines(const QString& caption);
    // The largest size of the picture's shape inside an area.
    static QSize fittedSize(QSizeF picture, QSize area);

    static constexpr int MaxResolution = 600; // dots per inch asked from a printer
    static constexpr int PdfResolution = 300;

private:
    int drawCaption(QPainter& painter, int resolution) const;
    QImage pictureAt(QSize size) const;

    QColor back_ = Qt::white;
    int layout_ = PortraitLayout;
    QImage picture_;
    Renderer renderer_;
    QString captionText_;
    QString printerName_;
    std::optional<QStringList> installed_;
    QString pdfFolder_;
};

// Several pictures in one document, a page each in its own orientation: one
// job on a printer, one PDF file. Any thread may fill it, one thread at a time.
class PictureBook {
public:
    explicit PictureBook(PrintDestination destination);
    ~PictureBook();
    PictureBook(const PictureBook&) = delete;
    PictureBook& operator=(const PictureBook&) = delete;

    // Adds the picture's page; false when the document cannot take it.
    bool add(const PicturePrinter& page);
    // Ends the document; true when it holds pages and was written whole.
    bool finish();
    int pages() const { return pages_; }
    const PrintDestination& destination() const { return destination_; }

private:
    PrintDestination destination_;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    int pages_ = 0;
    bool failed_ = false;
    bool finished_ = false;
};

// Sets a printer up for a destination: the PDF file at its resolution, or the
// installed printer at no more than MaxResolution; the orientation and the
// document name the print queue shows.
void preparePrinter(
    QPrinter& printer, const PrintDestination& destination, QPageLayout::Orientation orientation);

} // namespace vexa
