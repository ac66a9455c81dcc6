// Writing RTF: what word processors need to find in it, and a document made
// as the editor makes it read back the same.
#include "RtfWriter.h"
#include "RtfPicture.h"
#include "RtfReader.h"
#include "RtfTestSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextTable>
#include <QUrl>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::rtftest;

namespace {

const QString kFrench = u"Opacité alvéolaire à l'apex, cœur « normal », 38,5 °C — 5 € ; Ærø ÿ"_qs;
const QString kBeyond1252 = u"α ≤ β → Ω ✓ 😀"_qs;

QTextCharFormat font(const QString& family, double points)
{
    QTextCharFormat format;
    format.setFontFamilies({family});
    format.setFontPointSize(points);
    return format;
}

// A report as the editor makes it: letterhead in the header, formatted text,
// a table, a picture put in by the user, a page break, a footer.
RtfDocument editorReport()
{
    RtfDocument report;
    QFont defaultFont = report.body->defaultFont();
    defaultFont.setFamilies({"Liberation Serif"});
    defaultFont.setPointSizeF(12);
    report.body->setDefaultFont(defaultFont);
    report.header = std::make_unique<QTextDocument>();
    report.header->setDefaultFont(defaultFont);
    QTextCursor header(report.header.get());
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    header.setBlockFormat(centred);
    QTextCharFormat letterhead = font("Liberation Sans", 14);
    letterhead.setFontWeight(QFont::Bold);
    header.insertText(u"Cabinet de radiologie de l'Étoile"_qs, letterhead);
    header.insertBlock(centred);
    header.insertText(u"Dr Fançois Lefèvre – Tél. 04 00 00 00 00"_qs, font("Liberation Sans", 10));

    report.footer = std::make_unique<QTextDocument>();
    report.footer->setDefaultFont(defaultFont);
    QTextCursor(report.footer.get()).insertText("Page 1", font("Liberation Serif", 9));

    QTextDocument& body = *report.body;
    QTextCursor cursor(&body);
    QTextBlockFormat title;
    title.setAlignment(Qt::AlignHCenter);
    title.setBottomMargin(12);
    cursor.setBlockFormat(title);
    QTextCharFormat bold = font("Liberation Sans", 16);
    bold.setFontWeight(QFont::Bold);
    cursor.insertText("Compte-rendu {radiologique} \\ test", bold);

    QTextBlockFormat indented;
    indented.setLeftMargin(24);
    indented.setRightMargin(12);
    indented.setTextIndent(-12);
    indented.setTopMargin(4);
    indented.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
    indented.setTabPositions({QTextOption::Tab(120, QTextOption::LeftTab),
        QTextOption::Tab(250, QTextOption::CenterTab), QTextOption::Tab(400, QTextOption::RightTab)});
    cursor.insertBlock(indented);
    cursor.insertText(kFrench + "\t", font("Liberation Sans", 11));
    QTextCharFormat styled = font("Liberation Sans", 11);
    styled.setFontItalic(true);
    styled.setFontUnderline(true);
    styled.setForeground(QColor(192, 0, 0));
    cursor.insertText(u"fièvre"_qs, styled);
    QTextCharFormat marked = font("Liberation Mono", 9);
    marked.setFontStrikeOut(true);
    marked.setBackground(QColor(255, 255, 0));
    cursor.insertText(" barré", marked);
    QTextCharFormat superscript = font("Liberation Sans", 11);
    superscript.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    cursor.insertText("2", superscript);
    QTextCharFormat subscript = font("Liberation Sans", 11);
    subscript.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    cursor.insertText(" x", subscript);
    cursor.insertText(
        QString(QChar::LineSeparator) + kBeyond1252 + QChar(QChar::Nbsp) + "fin", font("DejaVu Sans", 11));

    QTextBlockFormat justified;
    justified.setAlignment(Qt::AlignJustify);
    justified.setBottomMargin(6);
    cursor.insertBlock(justified);
    cursor.insertText("Tableau :", font("Liberation Sans", 11));

    QTextTableFormat tableFormat;
    tableFormat.setBorder(1);
    tableFormat.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    tableFormat.setCellPadding(4);
    tableFormat.setCellSpacing(0);
    tableFormat.setBorderCollapse(true);
    tableFormat.setColumnWidthConstraints({QTextLength(QTextLength::FixedLength, 200),
        QTextLength(QTextLength::FixedLength, 150), QTextLength(QTextLength::FixedLength, 100)});
    QTextTable* table = cursor.insertTable(2, 3, tableFormat);
    const QStringList cells = {"Mesure", "Valeur", u"Référence"_qs, "Index", "0,48", "< 0,50"};
    for (int i = 0; i < cells.size(); ++i) {
        QTextCursor cell = table->cellAt(i / 3, i % 3).firstCursorPosition();
        cell.insertText(cells[i], i < 3 ? bold : font("Liberation Sans", 11));
    }
    QTextCursor secondParagraph = table->cellAt(1, 0).lastCursorPosition();
    secondParagraph.insertBlock();
    secondParagraph.insertText("deux lignes", font("Liberation Sans", 11));

    cursor = table->lastCursorPosition();
    cursor.movePosition(QTextCursor::NextBlock);
    QImage picture(60, 40, QImage::Format_RGB32);
    picture.fill(QColor(40, 90, 160));
    body.addResource(QTextDocument::ImageResource, QUrl("user-picture"), picture);
    QTextImageFormat image;
    image.setName("user-picture");
    image.setWidth(120);
    image.setHeight(80);
    cursor.insertImage(image);

    QTextBlockFormat newPage;
    newPage.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    cursor.insertBlock(newPage);
    cursor.insertText("Conclusion", bold);
    cursor.insertBlock(QTextBlockFormat());

    report.page = RtfPageLayout{11906, 16838, 1000, 1100, 1200, 1300, 600, 650};
    return report;
}

} // namespace

TEST(RtfWriter, WritesWhatWordProcessorsRead)
{
    const QByteArray rtf = RtfWriter::write(editorReport());
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0")) << rtf.left(60).toStdString();
    EXPECT_TRUE(rtf.trimmed().endsWith('}'));
    for (const char c : rtf)
        ASSERT_LT(static_cast<unsigned char>(c), 0x80) << "RTF is 7-bit";
    for (const char* expected :
        {"{\\fonttbl{\\f0\\fnil\\fcharset0 Liberation Serif;}", "{\\colortbl;\\red192\\green0\\blue0;",
            "\\paperw11906\\paperh16838\\margl1000\\margr1100\\margt1200\\margb1300",
            "\\headery600\\footery650", "{\\header", "{\\footer", "Cabinet de radiologie de l'\\'c9toile",
            "Opacit\\'e9 alv\\'e9olaire \\'e0", "c\\'9cur \\'ab normal \\'bb", "5 \\'80", "\\u945?",
            "\\u8804?", "\\u-10179?\\u-8704?", "Compte-rendu \\{radiologique\\} \\\\ test", "\\line ",
            "\\~fin", "\\tab ", "\\trowd", "\\cellx3000", "\\cellx5250", "\\cellx6750", "\\clbrdrt\\brdrs",
            "\\intbl", "\\cell", "\\row", "\\pngblip", "\\picwgoal1800\\pichgoal1200", "\\pagebb", "\\qc",
            "\\qj", "\\li360", "\\ri180", "\\fi-180", "\\sl360\\slmult1", "\\tx1800", "\\tqr\\tx6000",
            "\\tqc\\tx3750", "\\b", "\\i", "\\ul", "\\strike", "\\super", "\\sub", "\\highlight"})
        EXPECT_TRUE(rtf.contains(expected)) << "missing " << expected;
}

TEST(RtfWriter, EditorDocumentReadsBackTheSame)
{
    const RtfDocument report = editorReport();
    RtfDocument first = ReadRtf(RtfWriter::write(report));

    // What the editor made: same text and formats; only the user's picture
    // now carries the PNG bytes it was written with.
    QString made = Dump(report);
    QString read = Dump(first);
    const QRegularExpression pictureKind(" kind \\d+ bytes \\d+");
    made.replace(pictureKind, "");
    read.replace(pictureKind, "");
    // The editor named the default font on every run; text in it reads unnamed.
    made.replace("{Liberation Serif,", "{,");
    read.replace("{Liberation Serif,", "{,");
    EXPECT_EQ(read.toStdString(), made.toStdString());
    EXPECT_EQ(PlainText(*first.body).section('\n', 1, 1),
        kFrench + u"\tfièvre barré2 x\u2028"_qs + kBeyond1252 + u"\u00a0fin"_qs);

    // Read, write, read: the same document.
    const RtfDocument second = ReadRtf(RtfWriter::write(first));
    EXPECT_EQ(Dump(second).toStdString(), Dump(first).toStdString());
}

TEST(RtfWriter, PicturesKeepTheirBytes)
{
    const QByteArray jpeg = EncodedPicture(50, 30, "JPEG");
    const QByteArray wmf = QByteArray::fromHex("0100090000036c0000000000");
    const RtfDocument read = ReadRtf("{\\rtf1{\\pict\\jpegblip\\picw50\\pich30 " + jpeg.toHex()
        + "}{\\pict\\wmetafile8\\picw1000\\pich500\\picwgoal600\\pichgoal300 " + wmf.toHex() + "}}");
    const QByteArray rtf = RtfWriter::write(read);
    // The JPEG is not re-encoded, the metafile not lost.
    EXPECT_TRUE(rtf.contains("\\jpegblip\\picw50\\pich30"));
    EXPECT_TRUE(rtf.contains(jpeg.toHex().left(128)));
    EXPECT_TRUE(rtf.contains("\\wmetafile8\\picw1000\\pich500\\picwgoal600\\pichgoal300\n" + wmf.toHex()));
}

TEST(RtfWriter, WriteFileReplacesWholeOrNothing)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath("compte-rendu.rtf");
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("{\\rtf1 ancien}");
    old.close();

    QString error;
    ASSERT_TRUE(RtfWriter::writeFile(path, editorReport(), &error)) << error.toStdString();
    RtfDocument written;
    ASSERT_TRUE(RtfReader::readFile(path, written));
    EXPECT_TRUE(PlainText(*written.body).startsWith("Compte-rendu {radiologique}"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"compte-rendu.rtf"})
        << "no temporary left";

    // A folder that cannot take the file: a French message, nothing written.
    const QString missing = folder.filePath("absent/compte-rendu.rtf");
    EXPECT_FALSE(RtfWriter::writeFile(missing, editorReport(), &error));
    EXPECT_TRUE(error.startsWith("Impossible d'enregistrer le fichier " + missing)) << error.toStdString();
    EXPECT_FALSE(QFile::exists(missing));
}
