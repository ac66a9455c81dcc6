#pragma once
// Where reports, templates and the letterhead live, and the files a new
// installation starts with. The letterhead "entete.rtf" and the template
// folder "CR" are in the per-user data folder (the program's own folder is
// not writable); a patient's report lies beside the series' images in the
// PACS store, where every workstation finds it.
#include <QString>
#include <QStringList>

namespace vexa {

// The per-user data folder with a trailing "/". Tests may point it elsewhere
// (an empty path goes back to the standard one).
QString reportDataFolder();
void setReportDataFolder(const QString& folder);

extern const QString LetterheadFileName; // "entete.rtf"
QString letterheadPath();
// The template folder "CR" with a trailing "/", and a template's file: the
// existing "<name>.rtf" whatever the letter case of its extension (files
// copied from Windows are often "GENOU.RTF"), else "<name>.rtf".
QString templateFolder();
QString templatePath(const QString& name);

// `path` itself when it exists or names no ".rtf" file; else the existing
// file that differs from it only by the letter case of its ".rtf" extension,
// when there is one.
QString existingRtfPath(const QString& path);

// True when the file-name part of `path` is exactly "entete.rtf".
bool isLetterheadPath(const QString& path);

// A series' report: image root + folder of the image's ObjectFile + the
// series UID + ".rtf" ("\" of Windows-made rows read as "/").
QString examReportPath(const QString& imageRoot, const QString& objectFile, const QString& seriesUid);

// A new installation (no template folder yet) gets the starter letterhead and
// templates; an existing one is left as it is. False when the folder cannot
// be made.
bool installStarterFiles(const QString& dataFolder = reportDataFolder());

// The template names of a folder: its "*.rtf" files (any letter case of the
// extension), by name, each without its extension and listed once, so
// "GENOU.RTF" is "GENOU" and TemplatePath("GENOU") finds it again. An absent
// folder lists nothing.
QStringList templateNames(const QString& folder = templateFolder());

// The characters a template name refuses: \ / : * ? " < > |
bool isRefusedNameCharacter(QChar c);

// How a file is read by its name's end, letter case ignored: "TXM" 3,
// "RTF" 5, "HTML"/"HTM" 4, "DOC" 9, "XML" 10, "CSS" 11, "PDF" 12, else 1 (text).
enum FileFormat {
    PlainTextFormat = 1,
    NativeFormat = 3,
    HtmlFormat = 4,
    RtfFormat = 5,
    WordFormat = 9,
    XmlFormat = 10,
    StyleSheetFormat = 11,
    PdfFormat = 12
};
int fileFormatCode(const QString& path);

} // namespace vexa
