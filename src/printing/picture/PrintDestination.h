#pragma once
// Where a print job goes: the installed printer named exactly, else the
// program's current printer, else any installed one; with no printer installed
// at all, a PDF file in the user's print folder.
#include <QString>
#include <QStringList>

namespace vexa {

struct PrintDestination {
    QString printerName; // "" when printing to a PDF file
    QString pdfPath; // "" when printing to a printer

    bool isPdf() const { return printerName.isEmpty(); }
};

// `wanted` is matched letter case included; a match becomes the program's
// current printer, as with SelectPrinterByName.
PrintDestination ChoosePrintDestination(const QString& wanted, const QStringList& installed,
    const QString& pdfFolder, const QString& pdfBaseName);

// The folder PDF prints go to: "VexaDICOM" in the user's documents folder.
QString DefaultPdfFolder();

// A file name not yet used in the folder: base + date and time + ".pdf".
QString UniquePdfPath(const QString& folder, const QString& baseName);

} // namespace vexa
