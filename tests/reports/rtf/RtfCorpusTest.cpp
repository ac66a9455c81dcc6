// Real RTF written by Word, LibreOffice and other programs: each file reads
// with the text, bold and italic runs, tables, pictures, header and footer
// its README describes, and writing it gives back the same document.
#include "RtfTestSupport.h"
#include "reports/rtf/RtfReader.h"
#include "reports/rtf/RtfWriter.h"

#include <QDir>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextTable>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::rtftest;

namespace {

QString corpusPath(const QString& name)
{
    return qEnvironmentVariable("VEXA_SOURCE_DIR") + "/tests/reports/rtf-corpus/" + name;
}

struct Content {
    QString text; // every paragraph, cells included, joined by "\n"
    QStringList bold;
    QStringList italic;
    QStringList cells; // text of the blocks inside tables
    int tables = 0;
    int pictures = 0;
    int pageBreaks = 0;
};

void countTables(QTextFrame* frame, int& tables)
{
    for (QTextFrame* child : frame->childFrames()) {
        if (qobject_cast<QTextTable*>(child))
            ++tables;
        countTables(child, tables);
    }
}

Content contentOf(const QTextDocument* document)
{
    Content content;
    if (!document)
        return content;
    QStringList paragraphs;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        paragraphs << block.text();
        if (QTextCursor(block).currentTable())
            content.cells << block.text();
        if (block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
            ++content.pageBreaks;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat())
                content.pictures += it.fragment().length();
            else if (format.fontWeight() > QFont::Medium)
                content.bold << it.fragment().text();
            else if (format.fontItalic())
                content.italic << it.fragment().text();
            if (format.fontItalic() && format.fontWeight() > QFont::Medium)
                content.italic << it.fragment().text();
        }
    }
    content.text = paragraphs.join('\n');
    countTables(document->rootFrame(), content.tables);
    return content;
}

struct Expected {
    const char* file;
    QStringList text;
    QStringList bold = {};
    QStringList italic = {};
    int tables = 0;
    QStringList cells = {};
    int pictures = 0;
    int pageBreaks = 0;
    QStringList header = {}; // empty: no header
    QStringList footer = {}; // empty: no footer
    int headerPictures = 0;
};

const QList<Expected>& corpus()
{
    static const QList<Expected> files = {
        {"165805.rtf", {"Table", "INFORMATION"}, {"INFORMATION"}, {}, 1, {"Table"}, 0, 1},
        {"4010_min.rtf", {"centered", "This text is not in a table.", "This is also not in a table."},
            {"centered", "This is where the table starts."}, {}, 1,
            {"another cell", "Max MUSTERMANN", "1000 Musterstadt", "01.01.0000"}},
        {"all_gaps_word.rtf", {"thin gap", "double", "medium gap", "outset", "threeDEngrave"}, {}, {}, 8,
            {u"1 ½ pt"_qs, u"2 ¼ pt"_qs, u"¾ pt"_qs, "6 pt"}},
        {"cjklist12.rtf", {u"一.\tNumbered List Example"_qs, u"二〇.\tNumbered List Example"_qs}},
        {"cp1000018.rtf", {"Hello world!"}},
        {"fdo42109.rtf", {"1"}, {}, {}, 1, {"1"}},
        {"fdo44715.rtf", {"first line", "last line", "picture", "last cell"}, {"first line", "last cell"},
            {"last cell"}, 1, {"first line", "last cell)"}},
        {"fdo48033.rtf", {"A1"}, {}, {}, 1, {"A1"}, 1},
        {"fdo49659.rtf", {"body1", "body2"}, {}, {}, 1, {"body1", "body2"}, 0, 0, {"header1", "header2"}, {},
            1},
        {"fdo51916.rtf", {"K", "L", "M", "N", "O", "P", "Q"}, {"K", "L", "N", "Q"}, {"L", "M", "N", "P", "Q"},
            1},
        {"fdo52052.rtf", {"first", "second", "third"}, {"second", "third"}, {}, 0, {}, 0, 2},
        {"fdo53594.rtf", {}, {}, {}, 1, {}, 1},
        {"fdo55504-1-min.rtf",
            {u"СПРАВКА № 6785"_qs, u"О СОСТОЯНИИ РАСЧЕТОВ ПО НАЛОГАМ, СБОРАМ, ПЕНЯМ И ШТРАФАМ"_qs,
                u"детский сад №9 \"Ромашка\""_qs},
            {u"СПРАВКА № 6785"_qs}, {}, 0, {}, 0, 1},
        {"fdo59638.rtf", {"3"}},
        {"fdo62805.rtf", {"Test\n", "\ntest"}, {}, {}, 1, {"test in cell"}},
        {"fdo67365.rtf", {"foo"}, {}, {}, 1, {"A1", "A2", "A3", "A4"}},
        {"fdo68291-paste.rtf", {"aaa"}},
        {"fdo74709.rtf", {}, {}, {}, 1, {"1.23", "4.56", "first word", "second word"}},
        {"fdo77600.rtf", {"Before href after."}},
        {"fdo79319.rtf", {}, {}, {}, 0, {}, 0, 0, {""}, {}, 1},
        {"fdo82071.rtf", {"Chapter 1\t1"}, {"Chapter 1"}},
        {"footer-para.rtf", {}, {}, {}, 0, {}, 0, 0, {}, {"All Rights Reserved."}},
        {"FORMDROPDOWN.rtf", {"Dropdown list: "}},
        {"graphic-object-fliph.rtf", {}, {}, {}, 0, {}, 1},
        {"hidden-linebreaks.rtf", {"Lorem ipsum dolor sit amet"}},
        {"i120928.rtf", {"A"}},
        {"mnor.rtf", {}},
        {"n750757.rtf", {"before\n1.\tnum 1\n2.\tnum 2\n3.\tnum 3\nafter"}},
        {"report-letterhead-jpeg.rtf",
            {"Compte-rendu d'examen radiologique\nPatient : DUPONT Jean, né le 12/03/1965 – Examen du "
             "09/12/2026",
                u"Indication : douleur thoracique, fièvre à 38,5 °C ; bilan pré-opératoire."_qs,
                u"•\tCœur de taille normale."_qs, u"Pas d'épanchement pleural ; coupoles régulières."_qs,
                "Conclusion :\tpneumopathie basale droite probable."},
            {"Compte-rendu d'examen radiologique", "DUPONT Jean"}, {u"fièvre à 38,5 °C"_qs}, 1,
            {"Mesure", "Valeur", u"Référence"_qs, "Index cardio-thoracique", "0,48", "< 0,50", "aigu"}, 1, 0,
            {"Cabinet de Radiologie des Tilleuls",
                u"12, rue de l'Église – 69003 Lyon – Tél. 04 78 00 00 00"_qs},
            {"Page 1"}},
        {"report-three-pages.rtf", {"Compte-rendu d'examen radiologique", "Conclusion"},
            {"Compte-rendu d'examen radiologique", "DUPONT Jean"}, {u"fièvre à 38,5 °C"_qs}, 1, {"Mesure"}, 0,
            2, {"Cabinet de Radiologie des Tilleuls"}, {"Page "}},
        {"report-plain.rtf",
            {"Compte-rendu d'examen radiologique\nPatient : DUPONT Jean, né le 12/03/1965 – Examen du "
             "09/12/2026"},
            {"DUPONT Jean"}, {u"fièvre à 38,5 °C"_qs}, 1, {u"Angle costo-phrénique"_qs, u"86,63 °"_qs}},
    };
    return files;
}

void expectContent(const Content& content, const Expected& expected, const std::string& where)
{
    for (const QString& text : expected.text)
        EXPECT_TRUE(content.text.contains(text)) << where << ": no \"" << text.toStdString() << "\" in\n"
                                                 << content.text.toStdString();
    for (const QString& run : expected.bold)
        EXPECT_TRUE(content.bold.contains(run)) << where << ": no bold \"" << run.toStdString() << "\"";
    for (const QString& run : expected.italic)
        EXPECT_TRUE(content.italic.contains(run)) << where << ": no italic \"" << run.toStdString() << "\"";
    EXPECT_EQ(content.tables, expected.tables) << where;
    for (const QString& cell : expected.cells)
        EXPECT_TRUE(content.cells.contains(cell)) << where << ": no cell \"" << cell.toStdString() << "\"";
    EXPECT_EQ(content.pictures, expected.pictures) << where;
    EXPECT_EQ(content.pageBreaks, expected.pageBreaks) << where;
}

} // namespace

TEST(RtfCorpus, EachFileReadsWithWhatItHolds)
{
    const QStringList files = QDir(corpusPath("")).entryList({"*.rtf"}, QDir::Files);
    ASSERT_EQ(files.size(), corpus().size()) << "every corpus file has its expectations";
    for (const Expected& expected : corpus()) {
        const std::string where = expected.file;
        RtfDocument document;
        QString error;
        ASSERT_TRUE(RtfReader::readFile(corpusPath(expected.file), document, &error))
            << where << error.toStdString();
        expectContent(contentOf(document.body.get()), expected, where);

        ASSERT_EQ(document.header != nullptr, !expected.header.isEmpty()) << where;
        const Content header = contentOf(document.header.get());
        for (const QString& text : expected.header)
            EXPECT_TRUE(header.text.contains(text)) << where << ": header " << header.text.toStdString();
        EXPECT_EQ(header.pictures, expected.headerPictures) << where;
        ASSERT_EQ(document.footer != nullptr, !expected.footer.isEmpty()) << where;
        const Content footer = contentOf(document.footer.get());
        for (const QString& text : expected.footer)
            EXPECT_TRUE(footer.text.contains(text)) << where << ": footer " << footer.text.toStdString();
    }
    // The letterhead's first line is bold.
    RtfDocument report;
    ASSERT_TRUE(RtfReader::readFile(corpusPath("report-letterhead-jpeg.rtf"), report));
    EXPECT_TRUE(contentOf(report.header.get()).bold.contains("Cabinet de Radiologie des Tilleuls"));
}

TEST(RtfCorpus, WrittenBackReadsTheSame)
{
    for (const Expected& expected : corpus()) {
        RtfDocument first;
        ASSERT_TRUE(RtfReader::readFile(corpusPath(expected.file), first)) << expected.file;
        const QByteArray written = RtfWriter::write(first);
        RtfDocument second;
        ASSERT_TRUE(RtfReader::read(written, second)) << expected.file;
        EXPECT_EQ(dump(second).toStdString(), dump(first).toStdString()) << expected.file;
        // And once more: what we write is stable.
        EXPECT_EQ(RtfWriter::write(second), written) << expected.file;
    }
}
