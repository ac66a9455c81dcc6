// Printing a report with no printer installed: the PDF file it gives has the
// letterhead on every page and as many pages as the report.
#include "reports/editor/ReportPrinting.h"
#include "ReportPrintSupport.h"
#include "ScriptedDialogService.h"
#include "base/core/AppValues.h"
#include "base/core/CurrentPrinter.h"
#include "reports/core/PatientFields.h"
#include "reports/core/ReportFiles.h"
#include "reports/core/ReportPages.h"
#include "reports/editor/ReportEditor.h"
#include "reports/rtf/RtfReader.h"

#include <QDir>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextEdit>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::reporttest;

TEST(ReportPrinting, WithoutPrinterTheReportGoesToAPdfWithTheLetterheadOnEachPage)
{
    QTemporaryDir data;
    setReportDataFolder(data.path());
    const QString report = QDir(data.path()).filePath(QStringLiteral("1.2.3.rtf"));
    writeThreePageReport(report);
    reportSession() = ReportSession();
    reportSession().reportPath = report;
    ScriptedDialogService dialogs;
    ReportEditor editor;

    appValues().defaultPrinterName = QStringLiteral("Accueil");
    setCurrentPrinterName(QStringLiteral("Accueil"));
    ReportPrintJob job;
    job.body = editor.bodyEdit->document();
    job.header = editor.headerEdit->document();
    job.page = editor.pageLayout();
    const QString folder = QDir(data.path()).filePath(QStringLiteral("pdf"));
    const ReportPrintOutcome outcome
        = printReport(job, QStringLiteral("Compte-rendus"), QStringList(), folder);

    ASSERT_TRUE(outcome.printed);
    EXPECT_TRUE(outcome.printerName.isEmpty());
    EXPECT_TRUE(outcome.pdfPath.startsWith(folder));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QDir::toNativeSeparators(outcome.pdfPath)));
    EXPECT_EQ(currentPrinterName(), QStringLiteral("Accueil"));

    const QStringList pages = pdfPageTexts(outcome.pdfPath);
    ASSERT_EQ(pages.size(), 3) << "three pages, no blank sheet after the last";
    EXPECT_EQ(outcome.pages, 3);
    for (const QString& page : pages)
        EXPECT_TRUE(page.contains(LetterheadText)) << page.toStdString();
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Ligne 1 du résultat")));
    EXPECT_FALSE(pages[0].contains(QStringLiteral("Ligne 60 ")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Ligne 60 du résultat")));
    EXPECT_FALSE(pages[1].contains(QStringLiteral("Fin du compte-rendu")));
    EXPECT_TRUE(pages[2].contains(QStringLiteral("Fin du compte-rendu")));
    EXPECT_FALSE(pages[2].contains(QStringLiteral("Ligne")));
    setReportDataFolder(QString());
}

TEST(ReportPrinting, PageRangeAndCopiesAsThePrintDialogGivesThem)
{
    QTextDocument body;
    QTextCursor cursor(&body);
    for (int page = 1; page <= 4; ++page) {
        QTextBlockFormat block;
        block.setPageBreakPolicy(
            page > 1 ? QTextFormat::PageBreak_AlwaysBefore : QTextFormat::PageBreak_Auto);
        if (page == 1)
            cursor.setBlockFormat(block);
        else
            cursor.insertBlock(block);
        cursor.insertText(QStringLiteral("Feuillet %1").arg(page));
    }
    QTextDocument header;
    header.setPlainText(LetterheadText);
    const struct {
        int first, last, copies;
        QStringList pages;
    } cases[] = {
        {1, -1, 1, {"1", "2", "3", "4"}},
        {2, 3, 2, {"2", "3", "2", "3"}},
        {4, 9, 1, {"4"}},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const QString pdf = QDir(dir.path()).filePath(QStringLiteral("range.pdf"));
        {
            QPdfWriter writer(pdf);
            ReportPages pages(body, &header, RtfPageLayout(), writer);
            EXPECT_EQ(pages.pageCount(), 4);
            ASSERT_TRUE(pages.print(c.first, c.last, c.copies));
        }
        QStringList printed;
        for (const QString& text : pdfPageTexts(pdf)) {
            EXPECT_TRUE(text.contains(LetterheadText));
            printed << text.section(QStringLiteral("Feuillet "), 1).trimmed();
        }
        EXPECT_EQ(printed, c.pages) << c.first << "-" << c.last << " x" << c.copies;
    }
}

// A report's own footer prints at the bottom of every page, its page number
// fields numbered page by page.
TEST(ReportPrinting, FooterOnEveryPageWithItsPageNumber)
{
    RtfDocument report;
    QByteArray rtf = "{\\rtf1\\ansi{\\footer\\pard\\qc Page {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}} sur "
                     "{\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 1}}\\par}";
    for (int page = 1; page <= 3; ++page)
        rtf += (page > 1 ? "\\page " : "") + QByteArray("Feuillet ") + QByteArray::number(page) + "\\par ";
    rtf += "}";
    ASSERT_TRUE(RtfReader::read(rtf, report));
    ASSERT_TRUE(report.footer);
    QTemporaryDir dir;
    const QString pdf = QDir(dir.path()).filePath(QStringLiteral("footer.pdf"));
    {
        QPdfWriter writer(pdf);
        ReportPages pages(*report.body, nullptr, report.page, writer, report.footer.get());
        ASSERT_EQ(pages.pageCount(), 3);
        ASSERT_TRUE(pages.print());
        EXPECT_LT(pages.bodyRect().bottom(), writer.height());
    }
    const QStringList texts = pdfPageTexts(pdf);
    ASSERT_EQ(texts.size(), 3);
    for (int page = 1; page <= 3; ++page) {
        EXPECT_TRUE(texts[page - 1].contains(QStringLiteral("Feuillet %1").arg(page))) << page;
        EXPECT_TRUE(texts[page - 1].contains(QStringLiteral("Page %1 sur 3").arg(page)))
            << texts[page - 1].toStdString();
    }
}
