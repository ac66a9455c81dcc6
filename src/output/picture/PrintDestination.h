#pragma once
// Where a print job goes: the installed printer named exactly, else the
// system's default printer, else a PDF file in the user's print folder. A job
// never goes to another installed printer: a stale name must not send a sheet
// to the label printer.
#include <QString>
#include <QStringList>

namespace vexa {

struct PrintDestination {
    QString printerName; // "" when printing to a PDF file
    QString pdfPath; // "" when printing to a printer

    bool isPdf() const { return printerName.isEmpty(); }
};

// The installed printer a job for `wanted` goes to: `wanted` itself, matched
// letter case included, else `systemDefault` when installed, else "" (a PDF).
QString installedPrinterFor(
    const QString& wanted, const QStringList& installed, const QString& systemDefault);

// The destination of a job for `wanted`; a match becomes the program's
// current printer, as with SelectPrinterByName.
PrintDestination choosePrintDestination(const QString& wanted, const QStringList& installed,
    const QString& systemDefault, const QString& pdfFolder, const QString& pdfBaseName);
// The same with the system's default printer as it is now.
PrintDestination choosePrintDestination(const QString& wanted, const QStringList& installed,
    const QString& pdfFolder, const QString& pdfBaseName);

// The system's default printer ("" when none is set).
QString systemDefaultPrinter();

// The folder PDF prints go to: "VexaDICOM" in the user's documents folder.
QString defaultPdfFolder();

// A file name not yet used in the folder: base + date and time + ".pdf".
QString uniquePdfPath(const QString& folder, const QString& baseName);

} // namespace vexa
