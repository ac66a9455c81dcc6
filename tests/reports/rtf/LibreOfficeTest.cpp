// A real word processor and our RTF: LibreOffice (headless) opens a report we
// write with its letterhead, paragraphs, table and picture, and what
// LibreOffice writes as RTF reads with ours to the same text.
#include "RtfReader.h"
#include "RtfTestSupport.h"
#include "RtfWriter.h"

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

// The text of a flat OpenDocument file (.fodt): paragraphs of the page
// header, of the body, and of the body's table cells; pictures in the body.
struct OdfText {
    QStringList header;
    QStringList body;
    QStringList cells;
    int pictures = 0;
};

OdfText readFlatOdf(const QString& path)
{
    QFile file(path);
    OdfText text;
    if (!file.open(QIODevice::ReadOnly))
        return text;
    QXmlStreamReader xml(&file);
    int headerDepth = 0;
    int bodyDepth = 0;
    int cellDepth = 0;
    int paragraphDepth = 0;
    int binaryDepth = 0; // embedded picture bytes
    QString paragraph;
    while (!xml.atEnd()) {
        xml.readNext();
        const QStringView name = xml.qualifiedName();
        if (xml.isStartElement()) {
            headerDepth += name == u"style:header" || headerDepth > 0;
            bodyDepth += name == u"office:body" || bodyDepth > 0;
            cellDepth += name == u"table:table-cell" || cellDepth > 0;
            binaryDepth += name == u"office:binary-data" || binaryDepth > 0;
            if (name == u"text:p" || name == u"text:h") {
                if (paragraphDepth++ == 0)
                    paragraph.clear();
            } else if (name == u"text:s") {
                paragraph += QString(qMax(1, xml.attributes().value("text:c").toInt()), ' ');
            } else if (name == u"text:tab") {
                paragraph += '\t';
            } else if (name == u"text:line-break") {
                paragraph += '\n';
            } else if (name == u"draw:image" && bodyDepth > 0) {
                ++text.pictures;
            }
        } else if (xml.isCharacters() && paragraphDepth > 0 && binaryDepth == 0
            && !(xml.isWhitespace() && xml.text().contains('\n'))) { // not the file's indentation
            paragraph += xml.text();
        } else if (xml.isEndElement()) {
            if ((name == u"text:p" || name == u"text:h") && --paragraphDepth == 0) {
                if (paragraph.isEmpty())
                    ; // empty lines are not compared
                else if (headerDepth > 0)
                    text.header << paragraph;
                else if (cellDepth > 0)
                    text.cells << paragraph;
                else if (bodyDepth > 0)
                    text.body << paragraph;
            }
            headerDepth = qMax(0, headerDepth - 1);
            bodyDepth = qMax(0, bodyDepth - 1);
            cellDepth = qMax(0, cellDepth - 1);
            binaryDepth = qMax(0, binaryDepth - 1);
        }
    }
    return text;
}

QStringList paragraphsOutsideTables(const QTextDocument& document)
{
    QStringList paragraphs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (QTextCursor(block).currentTable())
            continue;
        QString text = block.text();
        text.remove(QChar::ObjectReplacementCharacter);
        text.replace(QChar::LineSeparator, '\n');
        if (!text.isEmpty())
            paragraphs << text;
    }
    return paragraphs;
}

QStringList cellParagraphs(const QTextDocument& document)
{
    QStringList cells;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (QTextCursor(block).currentTable())
            cells << block.text();
    }
    return cells;
}

class LibreOffice : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        soffice_ = QStandardPaths::findExecutable("soffice");
        if (soffice_.isEmpty())
            return;
        folder_ = new QTemporaryDir;
        ASSERT_TRUE(folder_->isValid());
        report_ = new RtfDocument(SampleReport());
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
