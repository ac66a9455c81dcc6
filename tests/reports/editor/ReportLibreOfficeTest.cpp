// A report saved by the editor opens in LibreOffice (headless, converted to
// flat OpenDocument) with the letterhead in its page header, its paragraphs,
// accents and bold text, its table's cells and its picture.
#include "OdfText.h"
#include "RtfTestSupport.h"
#include "ScriptedDialogService.h"
#include "reports/core/PatientFields.h"
#include "reports/core/ReportFiles.h"
#include "reports/editor/ReportEditor.h"
#include "reports/rtf/RtfReader.h"
#include "reports/rtf/RtfWriter.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
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
    setReportDataFolder(data.path());
    // The letterhead file holds the sample's header as its text; the report
    // holds the sample's body (French text, bold, a table, a picture).
    RtfDocument sample = sampleReport();
    RtfDocument letterhead;
    letterhead.body.reset(sample.header->clone());
    ASSERT_TRUE(RtfWriter::writeFile(letterheadPath(), letterhead));
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
    setReportDataFolder(QString());
}

namespace {

struct Kept {
    QString body;
    QString header;
    QString footer;
    QStringList cells;
    int pictures = 0;
};

int pictureCount(const QTextDocument* document)
{
    int pictures = 0;
    for (QTextBlock block = document ? document->begin() : QTextBlock(); block.isValid();
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isImageFormat())
                pictures += it.fragment().length();
        }
    }
    return pictures;
}

Kept keptOf(const QString& path)
{
    RtfDocument document;
    EXPECT_TRUE(RtfReader::readFile(path, document)) << path.toStdString();
    Kept kept;
    kept.body = plainText(*document.body);
    kept.header = document.header ? plainText(*document.header) : QString();
    kept.footer = document.footer ? plainText(*document.footer) : QString();
    kept.cells = cellParagraphs(*document.body);
    kept.pictures = pictureCount(document.body.get()) + pictureCount(document.header.get())
        + pictureCount(document.footer.get());
    return kept;
}

// LibreOffice's plain text conversion of every RTF file of a folder, as the
// words of each file (its layout of frames and lists may differ; no word may).
QMap<QString, QStringList> libreOfficeWords(
    const QString& soffice, const QString& folder, const QString& profile)
{
    QStringList files = QDir(folder).entryList({QStringLiteral("*.rtf")}, QDir::Files);
    for (QString& file : files)
        file = QDir(folder).filePath(file);
    const QString out = folder + QStringLiteral("/txt");
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(soffice,
        QStringList{QStringLiteral("--headless"), QStringLiteral("--norestore"),
            QStringLiteral("-env:UserInstallation=file://") + profile, QStringLiteral("--convert-to"),
            QStringLiteral("txt:Text (encoded):UTF8"), QStringLiteral("--outdir"), out}
            + files);
    EXPECT_TRUE(process.waitForFinished(600000)) << "soffice did not finish";
    QMap<QString, QStringList> words;
    for (const QString& file : files) {
        QFile text(QDir(out).filePath(QFileInfo(file).completeBaseName() + QStringLiteral(".txt")));
        EXPECT_TRUE(text.open(QIODevice::ReadOnly)) << text.fileName().toStdString();
        QStringList list = QString::fromUtf8(text.readAll())
                               .split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        list.sort();
        words[QFileInfo(file).fileName()] = list;
    }
    return words;
}

} // namespace

// Every file of the corpus, opened in the editor and saved untouched, keeps
// its text, header and footer, cells and pictures, as our reader and
// LibreOffice both read them.
TEST(ReportLibreOffice, EditorKeepsWhatItOpensAndSaves)
{
    QTemporaryDir data;
    setReportDataFolder(data.path()); // no letterhead: each file's own header only
    const QString corpus
        = qEnvironmentVariable("VEXA_SOURCE_DIR") + QStringLiteral("/tests/reports/rtf-corpus");
    const QString original = data.filePath(QStringLiteral("original"));
    const QString saved = data.filePath(QStringLiteral("saved"));
    QDir().mkpath(original);
    QDir().mkpath(saved);
    QStringList files = QDir(corpus).entryList({QStringLiteral("*.rtf")}, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    // And a Word text box, whose text must survive.
    const QByteArray textBox
        = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard Avant la zone\\par"
          "{\\shp{\\*\\shpinst\\shpleft0\\shptop0\\shpright3000\\shpbottom1000"
          "{\\sp{\\sn shapeType}{\\sv 202}}{\\shptxt\\pard Texte dans la zone\\par}}"
          "{\\shprslt{\\*\\do\\dobxcolumn\\dptxbx{\\dptxbxtext\\pard Texte dans la zone\\par}}}}"
          "\\pard Apr\\'e8s la zone\\par}";
    for (const QString& folder : {original, saved}) {
        QFile box(QDir(folder).filePath(QStringLiteral("zz-text-box.rtf")));
        ASSERT_TRUE(box.open(QIODevice::WriteOnly));
        box.write(textBox);
    }
    for (const QString& file : files) {
        ASSERT_TRUE(QFile::copy(QDir(corpus).filePath(file), QDir(original).filePath(file)));
        ASSERT_TRUE(QFile::copy(QDir(corpus).filePath(file), QDir(saved).filePath(file)));
    }
    files << QStringLiteral("zz-text-box.rtf");

    for (const QString& file : files) {
        const std::string where = file.toStdString();
        const QString path = QDir(saved).filePath(file);
        reportSession() = ReportSession();
        reportSession().reportPath = path;
        ScriptedDialogService dialogs;
        ReportEditor editor;
        if (!editor.losses().isEmpty())
            dialogs.answerMessage(MsgResult::Yes); // what cannot be kept is told first
        editor.findChild<QAction*>(QStringLiteral("mnuSave"))->trigger();
        EXPECT_EQ(dialogs.unexpected, 0) << where;
        EXPECT_EQ(dialogs.messages.size(), editor.losses().isEmpty() ? 0u : 1u) << where;
        const Kept before = keptOf(QDir(original).filePath(file));
        const Kept after = keptOf(path);
        EXPECT_EQ(after.body, before.body) << where;
        EXPECT_EQ(after.header, before.header) << where;
        EXPECT_EQ(after.footer, before.footer) << where;
        EXPECT_EQ(after.cells, before.cells) << where;
        EXPECT_EQ(after.pictures, before.pictures) << where;
    }
    EXPECT_TRUE(keptOf(QDir(saved).filePath(QStringLiteral("zz-text-box.rtf")))
                    .body.contains(QStringLiteral("Texte dans la zone")));

    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    const QString profile = data.filePath(QStringLiteral("profile"));
    const QMap<QString, QStringList> before = libreOfficeWords(soffice, original, profile);
    const QMap<QString, QStringList> after = libreOfficeWords(soffice, saved, profile);
    // LibreOffice's text conversion leaves out frames and text boxes, which
    // the saved file holds as paragraphs: it may show more words after, never
    // fewer, but for what the editor told it could not keep (a footnote's
    // number, a list's bullet).
    const QMap<QString, QStringList> told = {
        {QStringLiteral("cp1000018.rtf"), {QStringLiteral("world!1")}},
        {QStringLiteral("fdo59638.rtf"), {QStringLiteral("•")}},
        {QStringLiteral("i120928.rtf"), {QStringLiteral("•")}},
    };
    for (const QString& file : files) {
        QStringList missing = before.value(file);
        for (const QString& word : after.value(file))
            missing.removeOne(word);
        // LibreOffice numbers cjklist12's list its own way ("ｱ."), where the
        // file's own labels ("一.") are kept as text.
        if (file == QStringLiteral("cjklist12.rtf"))
            missing.removeIf([](const QString& word) { return word.size() == 2 && word.endsWith(u'.'); });
        EXPECT_EQ(missing, told.value(file)) << file.toStdString();
    }
    EXPECT_TRUE(after.value(QStringLiteral("zz-text-box.rtf")).contains(QStringLiteral("Texte")));
    setReportDataFolder(QString());
}
