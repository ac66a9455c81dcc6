#include "reports/core/ReportFiles.h"

#include "pacsdb/ImageFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

// The starter files are a resource of this static library: register them
// before the first look.
static void RegisterStarterFiles()
{
    Q_INIT_RESOURCE(reports);
}

namespace vexa {

namespace {

QString& DataFolderOverride()
{
    static QString folder;
    return folder;
}

const QString RtfExtension = QStringLiteral(".rtf");

// The name of a template file: its name without the ".rtf" extension.
QString TemplateNameOf(const QString& fileName)
{
    return fileName.chopped(RtfExtension.size());
}

QString WithSlash(QString folder)
{
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

} // namespace

const QString LetterheadFileName = QStringLiteral("entete.rtf");

QString ReportDataFolder()
{
    const QString& chosen = DataFolderOverride();
    if (!chosen.isEmpty())
        return WithSlash(chosen);
    return WithSlash(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
}

void SetReportDataFolder(const QString& folder)
{
    DataFolderOverride() = folder;
}

QString LetterheadPath()
{
    return ReportDataFolder() + LetterheadFileName;
}

QString TemplateFolder()
{
    return ReportDataFolder() + QStringLiteral("CR/");
}

QString TemplatePath(const QString& name)
{
    return ExistingRtfPath(TemplateFolder() + name + QStringLiteral(".rtf"));
}

QString ExistingRtfPath(const QString& path)
{
    const QFileInfo wanted(path);
    if (wanted.exists() || !wanted.fileName().endsWith(RtfExtension, Qt::CaseInsensitive))
        return path;
    const QString base = wanted.fileName().chopped(RtfExtension.size());
    // Name filters ignore the letter case: "*.rtf" lists ".RTF" and ".Rtf" too.
    const QStringList variants = wanted.dir().entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
    for (const QString& variant : variants) {
        if (TemplateNameOf(variant) == base)
            return wanted.dir().filePath(variant);
    }
    return path;
}

bool IsLetterheadPath(const QString& path)
{
    const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(slash + 1) == LetterheadFileName;
}

QString ExamReportPath(const QString& imageRoot, const QString& objectFile, const QString& seriesUid)
{
    return SeriesReportPath(StoredImagePath(imageRoot, objectFile), seriesUid);
}

bool InstallStarterFiles(const QString& dataFolder)
{
    const QDir data(dataFolder);
    if (data.exists(QStringLiteral("CR")))
        return true;
    if (!data.mkpath(QStringLiteral("CR")))
        return false;
    RegisterStarterFiles();
    QDirIterator starters(QStringLiteral(":/reports"), QDir::Files, QDirIterator::Subdirectories);
    while (starters.hasNext()) {
        const QString source = starters.next();
        const QString target = data.filePath(source.mid(QStringLiteral(":/reports/").size()));
        if (QFileInfo::exists(target))
            continue;
        QDir().mkpath(QFileInfo(target).path());
        if (QFile::copy(source, target))
            QFile::setPermissions(
                target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    return true;
}

QStringList TemplateNames(const QString& folder)
{
    QStringList names;
    const QDir dir(folder);
    const QStringList files
        = dir.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& file : files) {
        const QString name = TemplateNameOf(file);
        if (!names.contains(name))
            names << name;
    }
    return names;
}

bool IsRefusedNameCharacter(QChar c)
{
    return QStringView(u"\\/:*?\"<>|").contains(c);
}

int FileFormatCode(const QString& path)
{
    const QString name = path.toUpper();
    if (name.endsWith(u"TXM"))
        return NativeFormat;
    if (name.endsWith(u"RTF"))
        return RtfFormat;
    if (name.endsWith(u"HTML") || name.endsWith(u"HTM"))
        return HtmlFormat;
    if (name.endsWith(u"DOC"))
        return WordFormat;
    if (name.endsWith(u"XML"))
        return XmlFormat;
    if (name.endsWith(u"CSS"))
        return StyleSheetFormat;
    if (name.endsWith(u"PDF"))
        return PdfFormat;
    return PlainTextFormat;
}

} // namespace vexa
