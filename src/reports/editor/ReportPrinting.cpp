#include "reports/editor/ReportPrinting.h"

#include "base/core/AppValues.h"
#include "base/core/CurrentPrinter.h"
#include "base/core/DialogService.h"
#include "base/ui/Printers.h"
#include "output/picture/PrintDestination.h"
#include "reports/core/ReportPages.h"

#include <QDir>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace vexa {

namespace {

// 600 dots per inch are plenty for text, and keep the job small.
constexpr int MaxResolution = 600;

void tellPdfWritten(const QString& path)
{
    msgBox(QStringLiteral(
               "Aucune imprimante n'est installée.\r\nLe compte-rendu a été enregistré dans le fichier :\r\n")
            + QDir::toNativeSeparators(path),
        MsgIcon::Information);
}

void preparePrinter(QPrinter& printer, const QString& documentName)
{
    if (printer.resolution() > MaxResolution)
        printer.setResolution(MaxResolution);
    printer.setFullPage(true);
    printer.setDocName(documentName);
}

} // namespace

ReportPrintOutcome printReport(const ReportPrintJob& job, const QString& wantedPrinter,
    std::optional<QStringList> installed, const QString& pdfFolder)
{
    ReportPrintOutcome outcome;
    if (!job.body)
        return outcome;
    const QString folder = pdfFolder.isEmpty() ? defaultPdfFolder() : pdfFolder;
    const QStringList printers = installed ? *installed : QPrinterInfo::availablePrinterNames();
    const PrintDestination destination
        = choosePrintDestination(wantedPrinter, printers, folder, QStringLiteral("Compte-rendu"));
    {
        QPrinter printer(QPrinter::HighResolution);
        if (destination.isPdf()) {
            if (!QDir().mkpath(folder))
                return outcome;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(destination.pdfPath);
            outcome.pdfPath = destination.pdfPath;
        } else {
            printer.setPrinterName(destination.printerName);
            outcome.printerName = destination.printerName;
        }
        preparePrinter(printer, job.documentName);
        ReportPages pages(*job.body, job.header, job.page, printer, job.footer);
        outcome.pages = pages.pageCount();
        outcome.printed = pages.print();
    }
    // The printer that was the default at start-up becomes current again.
    selectPrinterByName(appValues().defaultPrinterName, printers);
    if (outcome.printed && destination.isPdf())
        tellPdfWritten(destination.pdfPath);
    return outcome;
}

ReportPrintOutcome printReportWithDialog(const ReportPrintJob& job, QWidget* parent)
{
    ReportPrintOutcome outcome;
    if (!job.body)
        return outcome;
    QPrinter printer(QPrinter::HighResolution);
    applyCurrentPrinter(printer);
    preparePrinter(printer, job.documentName);
    ReportPages pages(*job.body, job.header, job.page, printer, job.footer);
    const int count = pages.pageCount();
    printer.setCopyCount(1);
    printer.setFromTo(1, count);
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, count);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (dialog.exec() != QDialog::Accepted)
        return outcome;
    const bool range = printer.printRange() == QPrinter::PageRange;
    // The copies are painted here when the driver does not make them itself.
    const int copies = printer.supportsMultipleCopies() ? 1 : printer.copyCount();
    ReportPages chosen(*job.body, job.header, job.page, printer, job.footer);
    outcome.pages = chosen.pageCount();
    outcome.printerName = printer.printerName();
    outcome.printed = chosen.print(range ? printer.fromPage() : 1, range ? printer.toPage() : count, copies);
    if (!outcome.printed)
        msgBox(QStringLiteral("L'impression du compte-rendu a échoué."), MsgIcon::Critical);
    return outcome;
}

} // namespace vexa
