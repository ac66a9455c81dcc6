// Where reports, templates and the letterhead live, the template list and
// how an inserted file is read.
#include "reports/core/ReportFiles.h"
#include "reports/core/ReportInsertion.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace vexa;

namespace {

void touch(const QString& path, const QByteArray& content = "{\\rtf1 x}")
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

} // namespace

TEST(ReportFiles, ExamReportLiesBesideTheSeriesImages)
{
    const struct {
        const char* root;
        const char* objectFile;
        const char* expected;
    } cases[] = {
        {"/pacs/data/", "PAT001/1.2.3_0001.dcm", "/pacs/data/PAT001/1.2.840.9.rtf"},
        {"/pacs/data", "PAT001\\sub\\img.v2", "/pacs/data/PAT001/sub/1.2.840.9.rtf"},
        {"/pacs/data/", "img.v2", "/pacs/data/1.2.840.9.rtf"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(examReportPath(QString::fromLatin1(c.root), QString::fromLatin1(c.objectFile),
                      QStringLiteral("1.2.840.9")),
            QString::fromLatin1(c.expected))
            << c.objectFile;
    EXPECT_EQ(
        examReportPath(QStringLiteral("/pacs/"), QStringLiteral("P/i.dcm"), QStringLiteral("1.2/../..\\3")),
        QStringLiteral("/pacs/P/1.2....3.rtf"));
    const QString controls = QStringLiteral("1.2") + QChar(0) + QStringLiteral("\r\n\t\x1a.3");
    EXPECT_EQ(examReportPath(QStringLiteral("/pacs/"), QStringLiteral("P/i.dcm"), controls),
        QStringLiteral("/pacs/P/1.2_____.3.rtf"));
}

TEST(ReportFiles, LetterheadIsKnownByItsExactFileName)
{
    EXPECT_TRUE(isLetterheadPath(QStringLiteral("/home/u/.local/share/VexaDICOM/entete.rtf")));
    EXPECT_TRUE(isLetterheadPath(QStringLiteral("C:\\Vexa\\entete.rtf")));
    EXPECT_FALSE(isLetterheadPath(QStringLiteral("/data/Entete.rtf")));
    EXPECT_FALSE(isLetterheadPath(QStringLiteral("/data/CR/entete.rtf.rtf")));
}

TEST(ReportFiles, FormatCodeFollowsTheFileNameEnd)
{
    const struct {
        const char* name;
        int code;
    } cases[] = {{"a.txm", 3}, {"a.RTF", 5}, {"a.Rtf", 5}, {"a.html", 4}, {"a.htm", 4}, {"a.doc", 9},
        {"a.xml", 10}, {"a.css", 11}, {"a.pdf", 12}, {"a.txt", 1}, {"readme", 1}, {"a.docx", 1}};
    for (const auto& c : cases)
        EXPECT_EQ(fileFormatCode(QString::fromLatin1(c.name)), c.code) << c.name;
}

TEST(ReportFiles, TemplatesAreFoundWhateverTheCaseOfTheirExtension)
{
    QTemporaryDir dir;
    setReportDataFolder(dir.path());
    QDir(dir.path()).mkdir(QStringLiteral("CR"));
    for (const char* name : {"Thorax.rtf", "Lettre.Rtf", "GENOU.RTF", "genou.rtf", "Dos.rtf", "Dos.RTF",
             "notes.txt", "a.rtf.rtf"})
        touch(templateFolder() + QString::fromLatin1(name));
    QDir(templateFolder()).mkdir(QStringLiteral("dossier.rtf"));
    QStringList listed = templateNames();
    listed.sort();
    EXPECT_EQ(listed,
        QStringList({QStringLiteral("Dos"), QStringLiteral("GENOU"), QStringLiteral("Lettre"),
            QStringLiteral("Thorax"), QStringLiteral("a.rtf"), QStringLiteral("genou")}));
    // Each listed name leads to its own file; a new name to a new ".rtf".
    const struct {
        const char* name;
        const char* file;
    } cases[] = {{"GENOU", "GENOU.RTF"}, {"genou", "genou.rtf"}, {"Lettre", "Lettre.Rtf"}, {"Dos", "Dos.rtf"},
        {"a.rtf", "a.rtf.rtf"}, {"Nouveau", "Nouveau.rtf"}, {"dossier", "dossier.rtf"}};
    for (const auto& c : cases)
        EXPECT_EQ(templatePath(QString::fromLatin1(c.name)), templateFolder() + QString::fromLatin1(c.file))
            << c.name;
    EXPECT_EQ(existingRtfPath(dir.filePath(QStringLiteral("CR/GENOU.rtf"))), templateFolder() + "GENOU.RTF");
    EXPECT_EQ(existingRtfPath(dir.filePath(QStringLiteral("CR/notes.TXT"))), templateFolder() + "notes.TXT");
    EXPECT_TRUE(templateNames(dir.filePath(QStringLiteral("absent"))).isEmpty());
    setReportDataFolder(QString());
}

TEST(ReportFiles, NineCharactersAreRefusedInTemplateNames)
{
    for (QChar c : QStringView(u"\\/:*?\"<>|"))
        EXPECT_TRUE(isRefusedNameCharacter(c)) << int(c.unicode());
    for (QChar c : QStringView(u"aZ9 .-_'éà(),"))
        EXPECT_FALSE(isRefusedNameCharacter(c)) << int(c.unicode());
}

TEST(ReportFiles, NewInstallationGetsTheStarterFilesOnce)
{
    QTemporaryDir dir;
    setReportDataFolder(dir.path());
    ASSERT_TRUE(installStarterFiles());
    EXPECT_TRUE(QFile::exists(letterheadPath()));
    const QStringList names = templateNames();
    EXPECT_GE(names.size(), 2);
    EXPECT_TRUE(names.contains(QStringLiteral("Radiographie thoracique")));
    for (const QString& name : names) {
        QTextDocument document;
        QTextCursor cursor(&document);
        QString error;
        EXPECT_TRUE(insertFile(cursor, templatePath(name), &error)) << error.toStdString();
        EXPECT_TRUE(document.toPlainText().contains(QStringLiteral("#pn"))) << name.toStdString();
    }
    // A user who removed the letterhead and a template keeps it that way.
    QFile::remove(letterheadPath());
    QFile::remove(templatePath(names.first()));
    ASSERT_TRUE(installStarterFiles());
    EXPECT_FALSE(QFile::exists(letterheadPath()));
    EXPECT_EQ(templateNames().size(), names.size() - 1);
    setReportDataFolder(QString());
}

TEST(ReportInsertion, ReadsRtfHtmlAndTextAndRefusesOtherFormats)
{
    QTemporaryDir dir;
    const QString rtf = dir.filePath(QStringLiteral("a.rtf"));
    touch(rtf, "{\\rtf1\\ansi\\ansicpg1252 {\\b R\\'e9sultat} normal\\par}");
    const QString html = dir.filePath(QStringLiteral("a.htm"));
    touch(html, "<p>Cr&eacute;ation <b>gras</b></p>");
    const QString utf8 = dir.filePath(QStringLiteral("a.txt"));
    touch(utf8, "Ligne é");
    const QString latin = dir.filePath(QStringLiteral("b.txt"));
    touch(latin, "Ligne \xe9\x80");
    const QString word = dir.filePath(QStringLiteral("a.doc"));
    touch(word, "binary");
    const QString picture = dir.filePath(QStringLiteral("photo.txt"));
    touch(picture, QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    const struct {
        QString path;
        bool read;
        QString text;
    } cases[] = {
        {rtf, true, QStringLiteral("avant Résultat normal après")},
        {html, true, QStringLiteral("avant Création gras après")},
        {utf8, true, QStringLiteral("avant Ligne é après")},
        {latin, true, QStringLiteral("avant Ligne é€ après")},
        {word, false, QStringLiteral("avant après")},
        {picture, false, QStringLiteral("avant après")},
        {dir.filePath(QStringLiteral("absent.txt")), false, QStringLiteral("avant après")},
    };
    for (const auto& c : cases) {
        QTextDocument document;
        document.setPlainText(QStringLiteral("avant  après"));
        QTextCursor cursor(&document);
        cursor.setPosition(6);
        QString error;
        EXPECT_EQ(insertFile(cursor, c.path, &error), c.read) << c.path.toStdString();
        EXPECT_EQ(document.toPlainText().simplified(), c.text) << c.path.toStdString();
        EXPECT_EQ(error.isEmpty(), c.read) << error.toStdString();
    }
}
