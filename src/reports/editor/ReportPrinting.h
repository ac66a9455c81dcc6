#pragma once
// Printing a report with its letterhead on every page: "Imprimer" on the
// report printer without a dialog, and the print dialog's way (copies, page
// range). With no printer installed the report goes to a PDF file and the
// user is told where.
#include "reports/rtf/RtfDocument.h"

#include <QString>
#include <QStringList>
#include <optional>

class QTextDocument;
class QWidget;

namespace vexa {

struct ReportPrintOutcome {
    bool printed = false;
    QString printerName; // "" when a PDF was written
    QString pdfPath; // "" when printed on a printer
    int pages = 0;
};

struct ReportPrintJob {
    const QTextDocument* body = nullptr;
    const QTextDocument* header = nullptr; // the letterhead; may be null
    const QTextDocument* footer = nullptr; // may be null
    RtfPageLayout page;
    QString documentName = QStringLiteral("VexaDICOM");
};

// Prints every page on the installed printer named exactly `wantedPrinter`
// (else the current printer), then makes the printer that was the default at
// start-up current again. `installed` and `pdfFolder` are for tests (the
// system's printers, the user's print folder when not given).
ReportPrintOutcome printReport(const ReportPrintJob& job, const QString& wantedPrinter,
    std::optional<QStringList> installed = std::nullopt, const QString& pdfFolder = QString());

// The print dialog on the current printer with copies 1 and pages 1 to the
// page count, then the chosen range and copies printed. Cancelling prints
// nothing; a failure is told in a message box.
ReportPrintOutcome printReportWithDialog(const ReportPrintJob& job, QWidget* parent);

} // namespace vexa
