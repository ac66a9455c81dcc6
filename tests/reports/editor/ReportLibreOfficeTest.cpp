// A report saved by the editor opens in LibreOffice (headless, converted to
// flat OpenDocument) with the letterhead in its page header, its paragraphs,
// accents and bold text, its table's cells and its picture.
#include "OdfText.h"
#include "PatientFields.h"
#include "ReportEditor.h"
#include "ReportFiles.h"
#include "RtfTestSupport.h"
#include "RtfWriter.h"
#include "ScriptedDialogService.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextEdit>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::rtftest;

TEST(ReportLibreOffice, OpensAReportSavedByTheEditor)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    QTemporaryDir data;
    SetReportDataFolder(data.path());
    // The letterhead file holds the sample's header as its text; the report
    // holds the sample's body (French text, bold, a table, a picture).
    RtfDocument sample = SampleReport();
    RtfDocument letterhead;
    letterhead.body.reset(sample.header->clone());
    ASSERT_TRUE(RtfWriter::writeFile(LetterheadPath(), letterhead));
    RtfDocument body;
    body.body.reset(sample.body->clone());
    const QString report = QDir(data.path()).filePath(QStringLiteral("report.rtf"));
    ASSERT_TRUE(RtfWriter::writeFile(report, body));

    reportSession() = ReportSession();
    reportSession().reportPath = report;
    ScriptedDialogService dialogs;
    ReportEditor editor;
    QTextCursor end = editor.bodyEdit->textCursor();
    end.movePosition(QTextCursor::End);
    end.insertBlock();
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    end.insertText(QStringLiteral("Conclusion : "), bold);
    end.insertText(QStringLiteral("cœur et poumons normaux, à revoir dans un an."), QTextCharFormat());
    editor.findChild<QAction*>(QStringLiteral("mnuSave"))->trigger();
    ASSERT_TRUE(QFile::exists(report));
    EXPECT_TRUE(dialogs.messages.empty());

    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    const QString out = QDir(data.path()).filePath(QStringLiteral("odf"));
    process.start(soffice,
        {QStringLiteral("--headless"), QStringLiteral("--norestore"),
            QStringLiteral("-env:UserInstallation=file://")
                + QDir(data.path()).filePath(QStringLiteral("profile")),
            QStringLiteral("--convert-to"), QStringLiteral("fodt"), QStringLiteral("--outdir"), out, report});
    ASSERT_TRUE(process.waitForFinished(240000)) << "soffice did not finish";
    const QString converted = QDir(out).filePath(QStringLiteral("report.fodt"));
    ASSERT_TRUE(QFile::exists(converted)) << process.readAll().toStdString();

    const OdfText odf = readFlatOdf(converted);
    EXPECT_EQ(odf.header, paragraphsOutsideTables(*sample.header));
    EXPECT_EQ(odf.body, paragraphsOutsideTables(*editor.bodyEdit->document()));
    EXPECT_TRUE(
        odf.body.contains(QStringLiteral("Conclusion : cœur et poumons normaux, à revoir dans un an.")));
    EXPECT_TRUE(odf.body.join(u'\n').contains(SampleFrenchText));
    EXPECT_EQ(odf.cells, cellParagraphs(*sample.body));
    EXPECT_FALSE(odf.cells.isEmpty());
    EXPECT_EQ(odf.pictures, 1);
    SetReportDataFolder(QString());
}
