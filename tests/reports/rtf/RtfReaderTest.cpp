// Reading RTF: text and its encodings, formats, tables, pictures, header and
// footer, page; hostile input.
#include "reports/rtf/RtfReader.h"
#include "RtfTestSupport.h"
#include "reports/rtf/RtfPicture.h"
#include "reports/rtf/RtfWriter.h"

#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::rtftest;

namespace {

QByteArray wrap(const QByteArray& body)
{
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}"
           "{\\f1\\fswiss\\fcharset204 Arial;}{\\f2\\fnil\\fcharset2 Symbol;}}"
           "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\n"
        + body + "}";
}

QTextTable* firstTable(const QTextDocument& document)
{
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(frame))
            return table;
    }
    return nullptr;
}

QString cellText(QTextTable* table, int row, int column)
{
    const QTextTableCell cell = table->cellAt(row, column);
    QTextCursor cursor = cell.firstCursorPosition();
    cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return cursor.selectedText().replace(QChar::ParagraphSeparator, '\n');
}

} // namespace

TEST(RtfReader, TextEncodingsAndDestinations)
{
    struct Case {
        const char* what;
        QByteArray body;
        QString text;
    };
    const QList<Case> cases = {
        {"Windows-1252 escapes", "Cr\\'e8me br\\'fbl\\'e9e \\'80 \\'9c \\'85", u"Crème brûlée € œ …"_qs},
        {"raw 8-bit bytes read as 1252", "caf\xe9", u"café"_qs},
        {"unicode with its default fallback", "\\u233?t\\u233?", u"été"_qs},
        {"unicode fallback of two", "\\uc2\\u8364\\'80\\'80 ok", u"€ ok"_qs},
        {"no fallback", "\\uc0\\u8364 x", u"€x"_qs},
        {"fallback as hex escape", "\\u339\\'9cuvre", u"œuvre"_qs},
        {"negative unicode", "\\u-3913?", QString(QChar(0xF0B7))},
        {"surrogate pair", "\\u-10179?\\u-8704?", QString::fromUcs4(U"\U0001F600")},
        {"fallback count scoped to the group", "{\\uc3 a}\\u233?b", u"aéb"_qs},
        {"escaped specials", "\\{a\\}\\\\b\\~c\\_d", u"{a}\\b\u00a0c\u2011d"_qs},
        {"named characters", "\\ldblquote x\\rdblquote \\emdash\\endash\\bullet", u"“x”—–•"_qs},
        {"tab and line", "a\\tab b\\line c", u"a\tb\u2028c"_qs},
        {"unknown starred destination skipped", "a{\\*\\unknownthing secret {nested} text}b", u"ab"_qs},
        {"unknown word ignored, its text kept", "a\\foobar12 b", u"ab"_qs},
        {"field result read, instruction skipped",
            "{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt lien}}", u"lien"_qs},
        {"list label read as text", "{\\listtext\\pard\\plain \\'95\\tab}Item", u"•\tItem"_qs},
        {"hidden text dropped", "a{\\v hidden}b", u"ab"_qs},
        {"unicode alternatives: the unicode one", "{\\upr{ansi}{\\*\\ud{uni\\u233?}}}", u"unié"_qs},
        {"font charset picks the code page", "{\\f1 \\'cf\\'f0\\'e8}", u"При"_qs},
        {"symbol font", "{\\f2 \\'b7}", QString(QChar(0xF0B7))},
        {"binary data is not text", "a\\bin3 {}\\b", u"ab"_qs},
        {"stylesheet and info skipped", "{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}}x", u"x"_qs},
        {"footnote skipped", "a{\\footnote note}b", u"ab"_qs},
        {"header text kept out of the body", "{\\header en-t\\'eate}corps", u"corps"_qs},
        {"paragraphs", "un\\par deux\\par\n\\par trois", u"un\ndeux\n\ntrois"_qs},
        {"backslash before line end is a paragraph", "un\\\ndeux", u"un\ndeux"_qs},
    };
    for (const Case& c : cases) {
        const RtfDocument document = readRtf(wrap(c.body));
        EXPECT_EQ(plainText(*document.body), c.text) << c.what;
    }

    // Other code pages of the whole document.
    const RtfDocument cyrillic = readRtf("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}");
    EXPECT_EQ(plainText(*cyrillic.body), u"Привет"_qs);
    const RtfDocument big5 = readRtf("{\\rtf1\\ansi\\ansicpg950\\deff0{\\fonttbl{\\f0\\fcharset136 MingLiU;}}"
                                     "\\'a4\\'a4\\'a4\\'e5}");
    EXPECT_EQ(plainText(*big5.body), u"中文"_qs);
}

TEST(RtfReader, CharacterFormats)
{
    const RtfDocument document = readRtf(wrap("plain {\\b gras}{\\i italique}{\\ul souligne}{\\strike barre}"
                                              "{\\cf1 rouge}{\\highlight2 fond}{\\super haut}{\\sub bas}"
                                              "{\\f1\\fs32 grand}{\\b\\i\\b0 seul}{\\ulwave v}\\plain fin"));
    QMap<QString, QTextCharFormat> formats;
    for (auto it = document.body->begin().begin(); !it.atEnd(); ++it)
        formats.insert(it.fragment().text(), it.fragment().charFormat());

    // Text in the default font takes the document's default font.
    EXPECT_FALSE(formats["plain "].hasProperty(QTextFormat::FontFamilies));
    EXPECT_EQ(formats["plain "].fontPointSize(), 12);
    EXPECT_FALSE(formats["plain "].fontWeight() > QFont::Normal);
    EXPECT_EQ(formats["gras"].fontWeight(), QFont::Bold);
    EXPECT_TRUE(formats["italique"].fontItalic());
    EXPECT_EQ(formats["souligne"].underlineStyle(), QTextCharFormat::SingleUnderline);
    EXPECT_TRUE(formats["barre"].fontStrikeOut());
    EXPECT_EQ(formats["rouge"].foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(formats["fond"].background().color(), QColor(0, 0, 255));
    EXPECT_EQ(formats["haut"].verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(formats["bas"].verticalAlignment(), QTextCharFormat::AlignSubScript);
    EXPECT_EQ(formats["grand"].fontFamilies().toStringList(), QStringList{"Arial"});
    EXPECT_EQ(formats["grand"].fontPointSize(), 16);
    EXPECT_TRUE(formats["seul"].fontItalic());
    EXPECT_FALSE(formats["seul"].fontWeight() > QFont::Normal);
    EXPECT_EQ(formats["v"].underlineStyle(), QTextCharFormat::WaveUnderline);
    // Group end restores the outer format.
    EXPECT_EQ(formats["fin"].fontWeight(), QFont::Normal);
    EXPECT_EQ(document.body->defaultFont().family(), "Times New Roman");
}

TEST(RtfReader, ParagraphFormats)
{
    const RtfDocument document
        = readRtf(wrap("\\pard\\qc centre\\par"
                       "\\pard\\qr\\li720\\ri360\\fi-360\\sb120\\sa240 droite\\par"
                       "\\pard\\qj\\sl360\\slmult1\\tx1440\\tqr\\tx8000\\tqc\\tx4000 a\\tab b\\par"
                       "\\pard\\sl-300\\slmult0 fixe\\par"
                       "\\pard avant\\page apres\\par"
                       "\\pard\\pagebb saut"));
    QList<QTextBlockFormat> blocks;
    for (QTextBlock block = document.body->begin(); block.isValid(); block = block.next())
        blocks << block.blockFormat();
    ASSERT_EQ(blocks.size(), 7) << dump(*document.body).toStdString();
    EXPECT_EQ(blocks[0].alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(blocks[1].alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(blocks[1].leftMargin(), 48);
    EXPECT_EQ(blocks[1].rightMargin(), 24);
    EXPECT_EQ(blocks[1].textIndent(), -24);
    EXPECT_EQ(blocks[1].topMargin(), 8);
    EXPECT_EQ(blocks[1].bottomMargin(), 16);
    EXPECT_EQ(blocks[2].alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
    EXPECT_EQ(blocks[2].lineHeightType(), QTextBlockFormat::ProportionalHeight);
    EXPECT_EQ(blocks[2].lineHeight(), 150);
    const QList<QTextOption::Tab> tabs = blocks[2].tabPositions();
    ASSERT_EQ(tabs.size(), 3);
    EXPECT_EQ(tabs[0], QTextOption::Tab(96, QTextOption::LeftTab));
    EXPECT_EQ(tabs[1].type, QTextOption::CenterTab);
    EXPECT_EQ(tabs[2].type, QTextOption::RightTab);
    EXPECT_EQ(blocks[3].lineHeightType(), QTextBlockFormat::FixedHeight);
    EXPECT_EQ(blocks[3].lineHeight(), 20);
    // \page starts the following text on a new page, \pagebb its own paragraph.
    EXPECT_EQ(blocks[4].pageBreakPolicy(), QTextFormat::PageBreak_Auto);
    EXPECT_EQ(blocks[5].pageBreakPolicy(), QTextFormat::PageBreak_AlwaysBefore);
    EXPECT_EQ(blocks[6].pageBreakPolicy(), QTextFormat::PageBreak_AlwaysBefore);
    EXPECT_EQ(plainText(*document.body), u"centre\ndroite\na\tb\nfixe\navant\napres\nsaut"_qs);
}

TEST(RtfReader, Tables)
{
    // Two rows from one definition, a third row without its own \trowd, an
    // empty cell, two paragraphs in a cell, then text after the table.
    const RtfDocument document
        = readRtf(wrap("avant\\par"
                       "\\trowd\\trgaph108\\clbrdrt\\brdrs\\cellx2000\\cellx5000\\cellx9000"
                       "\\pard\\intbl Mesure\\cell\\pard\\intbl Valeur\\cell\\pard\\intbl R\\'e9f\\cell\\row"
                       "\\trowd\\trgaph108\\cellx2000\\cellx5000\\cellx9000"
                       "\\pard\\intbl ICT\\cell\\pard\\intbl\\cell\\pard\\intbl un\\par deux\\cell\\row"
                       "\\pard\\intbl a\\cell\\pard\\intbl b\\cell\\pard\\intbl c\\cell\\row"
                       "\\pard apr\\'e8s\\par"));
    QTextTable* table = firstTable(*document.body);
    ASSERT_NE(table, nullptr) << dump(*document.body).toStdString();
    EXPECT_EQ(table->rows(), 3);
    EXPECT_EQ(table->columns(), 3);
    EXPECT_EQ(cellText(table, 0, 0), "Mesure");
    EXPECT_EQ(cellText(table, 0, 2), u"Réf"_qs);
    EXPECT_EQ(cellText(table, 1, 1), "");
    EXPECT_EQ(cellText(table, 1, 2), "un\ndeux");
    EXPECT_EQ(cellText(table, 2, 1), "b");
    const QTextTableFormat format = table->format();
    EXPECT_GT(format.border(), 0);
    const QList<QTextLength> widths = format.columnWidthConstraints();
    ASSERT_EQ(widths.size(), 3);
    EXPECT_EQ(widths[1], QTextLength(QTextLength::FixedLength, 200));
    EXPECT_EQ(format.cellPadding(), 108.0 / 15);
    EXPECT_EQ(plainText(*document.body).section('\n', -1), u"après"_qs);
    EXPECT_TRUE(plainText(*document.body).startsWith("avant\n"));

    // Word writes the row definition again after the cells; rows of one cell
    // more than defined widen the table.
    const RtfDocument word = readRtf(wrap("\\pard\\intbl x\\cell y\\cell z\\cell"
                                          "\\trowd\\cellx1000\\cellx2000\\row\\pard fin"));
    QTextTable* wide = firstTable(*word.body);
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(wide->columns(), 3);
    EXPECT_EQ(cellText(wide, 0, 2), "z");
}

TEST(RtfReader, Pictures)
{
    const QByteArray png = encodedPicture(40, 30, "PNG");
    const QByteArray jpeg = encodedPicture(64, 48, "JPEG");
    const QByteArray wmf = QByteArray::fromHex("0100090000036c00000000000000");
    const RtfDocument document = readRtf(
        wrap("a{\\*\\shppict{\\pict\\pngblip\\picw40\\pich30\\picwgoal1200\\pichgoal900\n" + png.toHex()
            + "}}"
              "{\\nonshppict{\\pict\\wmetafile8 0100}}b"
              "{\\pict\\jpegblip\\picscalex50\\picscaley50 "
            + jpeg.toHex()
            + "}"
              "{\\pict\\wmetafile8\\picw2540\\pich1270\\picwgoal1440\\pichgoal720 "
            + wmf.toHex()
            + "}"
              "{\\pict\\pngblip\\bin"
            + QByteArray::number(png.size()) + " " + png + "}"));
    QList<QTextImageFormat> images;
    for (auto it = document.body->begin().begin(); !it.atEnd(); ++it) {
        if (it.fragment().charFormat().isImageFormat()) {
            for (int i = 0; i < it.fragment().length(); ++i)
                images << it.fragment().charFormat().toImageFormat();
        }
    }
    ASSERT_EQ(images.size(), 4) << dump(*document.body).toStdString();
    const auto picture = [&](const QTextImageFormat& format) {
        return document.body->resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>();
    };
    // PNG at its goal size; its bytes kept as read.
    EXPECT_EQ(picture(images[0]).size(), QSize(40, 30));
    EXPECT_EQ(images[0].width(), 80);
    EXPECT_EQ(images[0].height(), 60);
    EXPECT_EQ(images[0].property(rtf_picture_property::Data).toByteArray(), png);
    // JPEG at half its own size.
    EXPECT_EQ(picture(images[1]).size(), QSize(64, 48));
    EXPECT_EQ(images[1].width(), 32);
    EXPECT_EQ(images[1].intProperty(rtf_picture_property::Kind), int(RtfPictureKind::Jpeg));
    // A metafile shows as a placeholder of its size and keeps its bytes.
    EXPECT_EQ(images[2].name(), rtfPlaceholderName());
    EXPECT_EQ(images[2].width(), 96);
    EXPECT_EQ(images[2].property(rtf_picture_property::Data).toByteArray(), wmf);
    // \bin data.
    EXPECT_EQ(picture(images[3]).size(), QSize(40, 30));
    EXPECT_EQ(plainText(*document.body).remove(QChar::ObjectReplacementCharacter), "ab");
}

TEST(RtfReader, HeaderFooterAndPage)
{
    const RtfDocument document = readRtf(
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\paperw11906\\paperh16838\\margl1134\\margr1000"
        "\\margt850\\margb900\\sectd\\headery500\\footery600"
        "{\\headerf premi\\'e8re page}{\\header\\pard\\qc Cabinet de radiologie\\par Dr Martin\\par}"
        "{\\footerl gauche}{\\footerf premi\\'e8re}"
        "\\pard Corps du compte-rendu\\par}");
    ASSERT_TRUE(document.header);
    EXPECT_EQ(plainText(*document.header), "Cabinet de radiologie\nDr Martin");
    EXPECT_EQ(
        document.header->begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    ASSERT_TRUE(document.footer);
    EXPECT_EQ(plainText(*document.footer), "gauche"); // left pages before first page
    EXPECT_EQ(plainText(*document.body), "Corps du compte-rendu");
    EXPECT_EQ(document.page, (RtfPageLayout{11906, 16838, 1134, 1000, 850, 900, 500, 600}));

    const RtfDocument plain = readRtf("{\\rtf1 texte}");
    EXPECT_FALSE(plain.header);
    EXPECT_FALSE(plain.footer);
    EXPECT_EQ(plain.page, RtfPageLayout{});
}

// Text boxes read as paragraphs where they are anchored, once (their old
// drawing fallback is skipped).
TEST(RtfReader, TextBoxesReadWhereTheyStand)
{
    const struct {
        const char* what;
        QByteArray rtf;
        const char* text;
    } cases[] = {
        {"Word text box with its fallback",
            "Avant{\\shp{\\*\\shpinst\\shpleft0\\shpright2000{\\sp{\\sn shapeType}{\\sv 202}}"
            "{\\shptxt \\pard Dans la zone\\par}}{\\shprslt{\\*\\do\\dobxcolumn{\\dptxbx{\\dptxbxtext\\pard "
            "Dans la zone\\par}}}}} apr\\'e8s\\par",
            "Avant\nDans la zone\n apr\xc3\xa8s"},
        {"LibreOffice frame without a final mark",
            "{\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 202}}{\\shptxt \\pard\\plain Zone{\\b  grasse}}}}"
            "Suite\\par",
            "Zone grasse\nSuite"},
        {"line shape: nothing to read",
            "{\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 20}}}"
            "{\\shprslt{\\*\\do\\dpline}}}Texte\\par",
            "Texte"},
        {"text box in a table cell",
            "\\trowd\\cellx2000\\cellx4000\\pard\\intbl A{\\shp{\\*\\shpinst{\\shptxt\\pard "
            "Zone\\par}}}\\cell "
            "B\\cell\\row\\pard Fin\\par",
            "\nA\nZone\n\nB\nFin"},
    };
    for (const auto& c : cases) {
        const RtfDocument document = readRtf(wrap(c.rtf));
        EXPECT_EQ(plainText(*document.body), QString::fromUtf8(c.text)) << c.what;
        EXPECT_TRUE(
            document.losses.join(' ').contains(u"zones de texte"_qs) || !QByteArray(c.rtf).contains("shp"))
            << c.what;
    }
    const RtfDocument inCell = readRtf(wrap(cases[3].rtf));
    QTextTable* table = firstTable(*inCell.body);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->columns(), 2);
    EXPECT_TRUE(cellText(table, 0, 0).contains(u"Zone"_qs));
}

// A field keeps its instruction on its result's text, so that writing gives
// the field back; nested and form fields, and fields over several
// paragraphs, keep their text only and are told as lost.
TEST(RtfReader, FieldsKeepTheirInstruction)
{
    const auto instructions = [](const QTextDocument& document) {
        QStringList found;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                if (format.hasProperty(rtf_field_property::Instruction))
                    found << format.stringProperty(rtf_field_property::Instruction).trimmed() + u'='
                            + it.fragment().text();
            }
        }
        return found;
    };
    const struct {
        const char* what;
        QByteArray rtf;
        const char* text;
        QStringList kept;
        bool lost;
    } cases[] = {
        {"hyperlink",
            "Voir {\\field{\\*\\fldinst HYPERLINK \"http://exemple.fr/\"}{\\fldrslt {\\ul le site}}}.\\par",
            "Voir le site.", {u"HYPERLINK \"http://exemple.fr/\"=le site"_qs}, false},
        {"page with \\plain in its result", "Page {\\field{\\*\\fldinst  PAGE }{\\fldrslt\\plain 3}}\\par",
            "Page 3", {u"PAGE=3"_qs}, false},
        {"nested",
            "{\\field{\\*\\fldinst TOC}{\\fldrslt Chapitre {\\field{\\*\\fldinst PAGEREF a}"
            "{\\fldrslt 1}}}}\\par",
            "Chapitre 1", {}, true},
        {"form field", "{\\field{\\*\\fldinst FORMTEXT{\\*\\formfield{\\fftype0}}}{\\fldrslt saisie}}\\par",
            "saisie", {}, true},
        {"over two paragraphs", "{\\field{\\*\\fldinst TOC}{\\fldrslt un\\par deux}}\\par", "un\ndeux", {},
            true},
        {"empty result", "A{\\field{\\*\\fldinst PAGE}{\\fldrslt }}\\par", "A", {}, true},
    };
    for (const auto& c : cases) {
        const RtfDocument document = readRtf(wrap(c.rtf));
        EXPECT_EQ(plainText(*document.body), QString::fromUtf8(c.text)) << c.what;
        EXPECT_EQ(instructions(*document.body), c.kept) << c.what;
        EXPECT_EQ(document.losses.join(' ').contains(u"champs"_qs), c.lost) << c.what;
        // Written and read again, the kept fields are still fields.
        const RtfDocument again = readRtf(RtfWriter::write(document));
        EXPECT_EQ(instructions(*again.body), c.kept) << c.what;
    }
}

// What reading leaves out or flattens is listed once each, in French.
TEST(RtfReader, WhatIsLostIsListed)
{
    const struct {
        const char* what;
        QByteArray rtf;
        const char* loss; // "" for none
    } cases[] = {
        {"plain report", "{\\b Conclusion}\\par\\trowd\\cellx1000\\pard\\intbl a\\cell\\row", ""},
        {"footnote", "Texte{\\footnote\\pard Note\\par}\\par", "les notes de bas de page"},
        {"hidden text", "Vu{\\v cach\\'e9} \\par", "le texte masqué"},
        {"second section", "Un\\sect\\sectd Deux\\par", "les sauts de section"},
        {"first-page header", "{\\headerf Premi\\'e8re}Texte\\par", "première page"},
        {"list", "\\pard\\ls1{\\listtext 1.\\tab}Item\\par", "numérotation automatique"},
        {"old numbering", "{\\*\\pn\\pnlvlblt{\\pntxtb x}}Item\\par", "numérotation automatique"},
        {"embedded object", "{\\object\\objemb{\\*\\objdata 0100}{\\result Image}}\\par",
            "objets incorporés"},
        {"comment", "A{\\*\\annotation\\pard Relire\\par}\\par", "les commentaires"},
    };
    for (const auto& c : cases) {
        const RtfDocument document = readRtf(wrap(c.rtf));
        const QString losses = document.losses.join('|');
        if (*c.loss == 0)
            EXPECT_TRUE(losses.isEmpty()) << c.what << ": " << losses.toStdString();
        else
            EXPECT_TRUE(losses.contains(QString::fromUtf8(c.loss))) << c.what << ": " << losses.toStdString();
        EXPECT_EQ(
            document.losses.size(), QSet<QString>(document.losses.begin(), document.losses.end()).size())
            << c.what;
    }
}

TEST(RtfReader, NotRtf)
{
    RtfDocument document;
    QString error;
    EXPECT_FALSE(RtfReader::read("Bonjour", document, &error));
    EXPECT_EQ(error, u"Ce fichier n'est pas au format RTF."_qs);
    EXPECT_EQ(plainText(*readRtf("\xEF\xBB\xBF {\\rtf1 x}").body), "x")
        << "byte order mark and blank before the group";
    EXPECT_FALSE(RtfReader::readFile("/nonexistent/x.rtf", document, &error));
    EXPECT_TRUE(error.startsWith(u"Impossible de lire le fichier /nonexistent/x.rtf"_qs))
        << error.toStdString();
}

// Damaged and hostile input reads what it can, quickly and within bounds.
TEST(RtfReader, HostileInput)
{
    struct Case {
        const char* what;
        QByteArray rtf;
        QString text; // text that must still be read
    };
    const QByteArray deep = QByteArray(100000, '{');
    const QByteArray manyCells = "\\trowd" + QByteArray("\\cellx100").repeated(5000);
    const QList<Case> cases = {
        {"truncated in a word", "{\\rtf1 bonjour\\pa", "bonjour"},
        {"truncated in a picture", "{\\rtf1 a{\\pict\\pngblip 89504e47", "a"},
        {"truncated in an escape", "{\\rtf1 a\\'e", "a"},
        {"missing closing braces", "{\\rtf1 {\\b gras {\\i encore", "gras encore"},
        {"closing braces too many", "{\\rtf1 a}}}}} trailing", "a"},
        {"stray closing brace first", "{\\rtf1 }a", ""},
        {"deep nesting", "{\\rtf1 avant" + deep + "dedans" + QByteArray(100000, '}') + "apres}", "avant"},
        {"deep nesting unclosed", "{\\rtf1 avant" + deep, "avant"},
        {"huge \\bin", "{\\rtf1 a\\bin2147483647 xyz}", "a"},
        {"negative \\bin", "{\\rtf1 a\\bin-5 b}", "ab"},
        {"huge \\u", "{\\rtf1 a\\u99999999999 b}", "ab"},
        {"bad \\u", "{\\rtf1 a\\u-99999?b\\u65536?c}", "a?b?c"},
        {"lone surrogates", "{\\rtf1 a\\u-10179?b\\u-8704?c}", "abc"},
        {"huge \\uc", "{\\rtf1 \\uc2000000000\\u233 abc}", u"é"_qs},
        {"huge parameters", "{\\rtf1\\fs999999999\\li-2147483648\\sl99999999\\paperw-5 x}", "x"},
        {"long control word", "{\\rtf1 \\" + QByteArray(100000, 'a') + " x}", "x"},
        {"long number", "{\\rtf1 \\fs" + QByteArray(100000, '9') + " x}", "x"},
        {"frame characters", "{\\rtf1 a\\u-560?\\u-559?\\u8233?\\u65532?b\\u0?c}", "abc"},
        {"picture sizes", "{\\rtf1{\\pict\\pngblip\\picw2147483647\\pich-1\\picscalex-50 00}x}", ""},
        {"table with thousands of columns", "{\\rtf1" + manyCells + "\\pard\\intbl a\\cell\\row}", "a"},
        {"cells without a table", "{\\rtf1 a\\cell b\\row c\\nestcell d\\nestrow}", "a"},
        {"header in header", "{\\rtf1{\\header a{\\header b}{\\footer c}}d}", "d"},
        {"font table chaos", "{\\rtf1{\\fonttbl\\f1{\\f2;}{;;{\\f3 x\\u233?}}\\f-7 y}\\f3 z}", "z"},
        {"colour table chaos", "{\\rtf1{\\colortbl\\red999;;;\\blue-4}\\cf2\\cf-1\\cf99999 z}", "z"},
    };
    for (const Case& c : cases) {
        QElapsedTimer timer;
        timer.start();
        RtfDocument document;
        EXPECT_TRUE(RtfReader::read(c.rtf, document)) << c.what;
        EXPECT_TRUE(plainText(*document.body).contains(c.text))
            << c.what << ": " << plainText(*document.body).toStdString();
        EXPECT_LT(timer.elapsed(), 2000) << c.what;
    }

    // Rows that multiply cells stop growing the table at a bound.
    const QByteArray rows = "{\\rtf1\\trowd" + QByteArray("\\cellx100").repeated(63)
        + QByteArray("\\intbl x\\cell\\row").repeated(20000) + "\\pard fin}";
    RtfDocument document;
    EXPECT_TRUE(RtfReader::read(rows, document));
    QTextTable* table = firstTable(*document.body);
    ASSERT_NE(table, nullptr);
    EXPECT_LE(qint64(table->rows()) * table->columns(), 20000);
    EXPECT_TRUE(plainText(*document.body).endsWith("fin"));
}
