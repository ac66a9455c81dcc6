// Writing RTF: what word processors need to find in it, and a document made
// as the editor makes it read back the same.
#include "reports/rtf/RtfWriter.h"
#include "RtfTestSupport.h"
#include "reports/rtf/RtfPicture.h"
#include "reports/rtf/RtfReader.h"

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

TEST(RtfWriter, WritesWhatWordProcessorsRead)
{
    const QByteArray rtf = RtfWriter::write(sampleReport());
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
    const RtfDocument report = sampleReport();
    RtfDocument first = readRtf(RtfWriter::write(report));

    // What the editor made: same text and formats; only the user's picture
    // now carries the PNG bytes it was written with.
    QString made = dump(report);
    QString read = dump(first);
    const QRegularExpression pictureKind(" kind \\d+ bytes \\d+");
    made.replace(pictureKind, "");
    read.replace(pictureKind, "");
    // The editor named the default font on every run; text in it reads unnamed.
    made.replace("{Liberation Serif,", "{,");
    read.replace("{Liberation Serif,", "{,");
    EXPECT_EQ(read.toStdString(), made.toStdString());
    EXPECT_EQ(plainText(*first.body).section('\n', 1, 1),
        SampleFrenchText + u"\tfièvre barré2 x\u2028"_qs + SampleTextBeyond1252 + u"\u00a0fin"_qs);

    // Read, write, read: the same document.
    const RtfDocument second = readRtf(RtfWriter::write(first));
    EXPECT_EQ(dump(second).toStdString(), dump(first).toStdString());
}

TEST(RtfWriter, PicturesKeepTheirBytes)
{
    const QByteArray jpeg = encodedPicture(50, 30, "JPEG");
    const QByteArray wmf = QByteArray::fromHex("0100090000036c0000000000");
    const RtfDocument read = readRtf("{\\rtf1{\\pict\\jpegblip\\picw50\\pich30 " + jpeg.toHex()
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
    ASSERT_TRUE(RtfWriter::writeFile(path, sampleReport(), &error)) << error.toStdString();
    RtfDocument written;
    ASSERT_TRUE(RtfReader::readFile(path, written));
    EXPECT_TRUE(plainText(*written.body).startsWith("Compte-rendu {radiologique}"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"compte-rendu.rtf"})
        << "no temporary left";

    // A folder that cannot take the file: a French message, nothing written.
    const QString missing = folder.filePath("absent/compte-rendu.rtf");
    EXPECT_FALSE(RtfWriter::writeFile(missing, sampleReport(), &error));
    EXPECT_TRUE(error.startsWith("Impossible d'enregistrer le fichier " + missing)) << error.toStdString();
    EXPECT_FALSE(QFile::exists(missing));

    // A NUL in the name: refused, not a file cut at the NUL.
    const QString cut = folder.filePath("1.2") + QChar(0) + ".3.rtf";
    EXPECT_FALSE(RtfWriter::writeFile(cut, sampleReport(), &error));
    EXPECT_TRUE(error.contains("caractère nul")) << error.toStdString();
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"compte-rendu.rtf"});
}
