// "Imprimer" in the report editor on the report printer, here the private
// CUPS scheduler's cups-pdf queue: the PDF it writes is read back with poppler.
#include "ReportPrintSupport.h"
#include "ScriptedDialogService.h"
#include "base/core/AppValues.h"
#include "base/core/CurrentPrinter.h"
#include "reports/core/PatientFields.h"
#include "reports/core/ReportFiles.h"
#include "reports/editor/ReportEditor.h"

#include <QAction>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::reporttest;

namespace {

// Both queues of the test scheduler write PDFs; this one makes its PostScript
// with pdftocairo, which keeps the fonts' text, so poppler reads the printed
// words back. The other one stands for the default printer.
const QString Queue = QStringLiteral("VexaLabel");
const QString DefaultQueue = QStringLiteral("VexaPDF");

// The pages of the first PDF written in `folder` since `since` whose text
// holds `marker`; waits up to 20 s for cups-pdf.
QStringList printedPages(const QDir& folder, const QDateTime& since, const QString& marker)
{
    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        QThread::msleep(250);
        for (const QFileInfo& file : folder.entryInfoList({QStringLiteral("*.pdf")}, QDir::Files)) {
            if (file.lastModified() < since)
                continue;
            const QStringList pages = pdfPageTexts(file.absoluteFilePath());
            if (!pages.isEmpty() && pages.join(QString()).contains(marker))
                return pages;
        }
    }
    return {};
}

} // namespace

TEST(ReportPrintingCups, ThreePageReportPrintsWithTheLetterheadOnEachPage)
{
    const QStringList installed = QPrinterInfo::availablePrinterNames();
    ASSERT_TRUE(installed.contains(Queue)) << "the test scheduler's queue is missing";
    const QDir out(qEnvironmentVariable("VEXA_PDF_OUT"));
    QTemporaryDir data;
    setReportDataFolder(data.path());
    const QString report = QDir(data.path()).filePath(QStringLiteral("1.2.3.rtf"));
    writeThreePageReport(report);
    reportSession() = ReportSession();
    reportSession().reportPath = report;
    reportSession().fields[1] = QStringLiteral("DUPONT");
    reportSession().fields[2] = QStringLiteral("JEAN");
    ScriptedDialogService dialogs;
    ReportEditor editor;

    // The report printer by its exact name; the default comes back afterwards.
    ASSERT_TRUE(installed.contains(DefaultQueue));
    const QString otherQueue = DefaultQueue;
    appValues().defaultPrinterName = otherQueue;
    appValues().crPrinter = Queue;
    setCurrentPrinterName(otherQueue);
    const QDateTime since = QDateTime::currentDateTime().addSecs(-1);
    editor.findChild<QAction*>(QStringLiteral("mnuPrint"))->trigger();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(currentPrinterName(), otherQueue);

    const QStringList pages = printedPages(out, since, QStringLiteral("Fin du compte-rendu"));
    ASSERT_EQ(pages.size(), 3) << "three pages, no fourth";
    for (const QString& page : pages)
        EXPECT_TRUE(page.contains(LetterheadText)) << page.toStdString();
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Ligne 60 du résultat")));
    EXPECT_FALSE(pages[1].contains(QStringLiteral("Fin du compte-rendu")));
    EXPECT_TRUE(pages[2].contains(QStringLiteral("Fin du compte-rendu")));
    setReportDataFolder(QString());
}
