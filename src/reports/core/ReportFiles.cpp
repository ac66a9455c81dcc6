#include "reports/core/ReportFiles.h"

#include "pacsdb/ImageFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

// The starter files are a resource of this static library: register them
// before the first look.
static void registerStarterFiles()
{
    Q_INIT_RESOURCE(reports);
}

namespace vexa {

namespace {

QString& dataFolderOverride()
{
    static QString folder;
    return folder;
}

const QString RtfExtension = QStringLiteral(".rtf");

// The name of a template file: its name without the ".rtf" extension.
QString templateNameOf(const QString& fileName)
{
    return fileName.chopped(RtfExtension.size());
}

QString withSlash(QString folder)
{
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

} // namespace

const QString LetterheadFileName = QStringLiteral("entete.rtf");

QString reportDataFolder()
{
    const QString& chosen = dataFolderOverride();
    if (!chosen.isEmpty())
        return withSlash(chosen);
    return withSlash(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
}

void setReportDataFolder(const QString& folder)
{
    dataFolderOverride() = folder;
}

QString letterheadPath()
{
    return reportDataFolder() + LetterheadFileName;
}

QString templateFolder()
{
    return reportDataFolder() + QStringLiteral("CR/");
}

QString templatePath(const QString& name)
{
    return existingRtfPath(templateFolder() + name + QStringLiteral(".rtf"));
}

QString existingRtfPath(const QString& path)
{
    const QFileInfo wanted(path);
    if (wanted.exists() || !wanted.fileName().endsWith(RtfExtension, Qt::CaseInsensitive))
        return path;
    const QString base = wanted.fileName().chopped(RtfExtension.size());
    // Name filters ignore the letter case: "*.rtf" lists ".RTF" and ".Rtf" too.
    const QStringList variants = wanted.dir().entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
    for (const QString& variant : variants) {
        if (templateNameOf(variant) == base)
            return wanted.dir().filePath(variant);
    }
    return path;
}

bool isLetterheadPath(const QString& path)
{
    const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(slash + 1) == LetterheadFileName;
}

QString examReportPath(const QString& imageRoot, const QString& objectFile, const QString& seriesUid)
{
    return seriesReportPath(storedImagePath(imageRoot, objectFile), seriesUid);
}

bool installStarterFiles(const QString& dataFolder)
{
    const QDir data(dataFolder);
    if (data.exists(QStringLiteral("CR")))
        return true;
    if (!data.mkpath(QStringLiteral("CR")))
        return false;
    registerStarterFiles();
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

QStringList templateNames(const QString& folder)
{
    QStringList names;
    const QDir dir(folder);
    const QStringList files
        = dir.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& file : files) {
        const QString name = templateNameOf(file);
        if (!names.contains(name))
            names << name;
    }
    return names;
}

bool isRefusedNameCharacter(QChar c)
{
    return QStringView(u"\\/:*?\"<>|").contains(c);
}

int fileFormatCode(const QString& path)
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
