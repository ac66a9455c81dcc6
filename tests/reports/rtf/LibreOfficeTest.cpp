// A real word processor and our RTF: LibreOffice (headless) opens a report we
// write with its letterhead, paragraphs, table and picture, and what
// LibreOffice writes as RTF reads with ours to the same text.
#include "OdfText.h"
#include "RtfTestSupport.h"
#include "reports/rtf/RtfReader.h"
#include "reports/rtf/RtfWriter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextTable>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::rtftest;

namespace {

class LibreOffice : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        soffice_ = QStandardPaths::findExecutable("soffice");
        if (soffice_.isEmpty())
            return;
        folder_ = new QTemporaryDir;
        ASSERT_TRUE(folder_->isValid());
        report_ = new RtfDocument(sampleReport());
        ASSERT_TRUE(RtfWriter::writeFile(folder_->filePath("report.rtf"), *report_));
    }
    static void TearDownTestSuite()
    {
        delete report_;
        report_ = nullptr;
        delete folder_;
        folder_ = nullptr;
    }
    void SetUp() override
    {
        if (soffice_.isEmpty())
            GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    }

    // Converts the report with soffice; the result's path, empty on failure.
    static QString convert(const QString& format, const QString& outFolder)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(soffice_,
            {"--headless", "--norestore", "-env:UserInstallation=file://" + folder_->filePath("profile"),
                "--convert-to", format, "--outdir", outFolder, folder_->filePath("report.rtf")});
        if (!process.waitForFinished(240000)) {
            process.kill();
            process.waitForFinished();
            ADD_FAILURE() << "soffice did not finish";
            return {};
        }
        const QString result = outFolder + "/report." + format;
        EXPECT_TRUE(QFile::exists(result)) << process.readAll().toStdString();
        return result;
    }

    static inline QString soffice_;
    static inline QTemporaryDir* folder_ = nullptr;
    static inline RtfDocument* report_ = nullptr;
};

} // namespace

TEST_F(LibreOffice, OpensOurReportWithItsLetterheadTableAndPicture)
{
    const QString converted = convert("fodt", folder_->filePath("odf"));
    ASSERT_FALSE(converted.isEmpty());
    const OdfText odf = readFlatOdf(converted);
    EXPECT_EQ(odf.header, paragraphsOutsideTables(*report_->header));
    EXPECT_EQ(odf.body, paragraphsOutsideTables(*report_->body));
    EXPECT_EQ(odf.cells, cellParagraphs(*report_->body));
    EXPECT_EQ(odf.pictures, 1);
    EXPECT_TRUE(odf.body.join('\n').contains(SampleFrenchText));
}

TEST_F(LibreOffice, WhatItWritesAsRtfReadsWithTheSameText)
{
    const QString converted = convert("rtf", folder_->filePath("rtf"));
    ASSERT_FALSE(converted.isEmpty());
    RtfDocument document;
    QString error;
    ASSERT_TRUE(RtfReader::readFile(converted, document, &error)) << error.toStdString();
    EXPECT_EQ(paragraphsOutsideTables(*document.body), paragraphsOutsideTables(*report_->body));
    EXPECT_EQ(cellParagraphs(*document.body), cellParagraphs(*report_->body));
    ASSERT_TRUE(document.header);
    EXPECT_EQ(paragraphsOutsideTables(*document.header), paragraphsOutsideTables(*report_->header));
    ASSERT_TRUE(document.footer);
    EXPECT_EQ(paragraphsOutsideTables(*document.footer), paragraphsOutsideTables(*report_->footer));
    // The bold letterhead and the picture come back too.
    const QTextCharFormat letterhead = document.header->begin().begin().fragment().charFormat();
    EXPECT_GT(letterhead.fontWeight(), QFont::Medium);
    int pictures = 0;
    for (QTextBlock block = document.body->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it)
            pictures += it.fragment().charFormat().isImageFormat();
    }
    EXPECT_EQ(pictures, 1);
}
