#include "DicomDirBuilder.h"

#include "DicomCodecs.h"

#include <dcmtk/dcmdata/dcddirif.h>
#include <dcmtk/dcmdata/dcdeftag.h>
#include <dcmtk/dcmdata/dcdicdir.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace vexa {

namespace {

OFFilename nativeName(const QString& path)
{
    return OFFilename(QFile::encodeName(path).constData());
}

// Files under the folder, relative to it, in a stable order.
QStringList filesBelow(const QString& folder, const QString& dicomDirPath)
{
    const QString dicomDir = QFileInfo(dicomDirPath).absoluteFilePath();
    const QDir root(folder);
    QStringList files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = QFileInfo(it.next()).absoluteFilePath();
        if (path != dicomDir && path != dicomDir + QStringLiteral(".BAK"))
            files << root.relativeFilePath(path);
    }
    files.sort();
    return files;
}

} // namespace

DicomDirSummary buildDicomDir(const QString& dicomDirPath, const QString& fileSetId, const QString& folder)
{
    registerDicomCodecs();
    DicomDirSummary summary;
    DicomDirInterface dicomDir;
    // Fill in type 1 attributes some modalities leave empty instead of
    // refusing the image.
    dicomDir.enableInventMode(OFTrue);
    OFCondition condition = dicomDir.createNewDicomDir(
        DicomDirInterface::AP_GeneralPurpose, nativeName(dicomDirPath), fileSetId.toStdString().c_str());
    if (condition.bad()) {
        summary.result = DicomResult::failure(QString::fromLatin1(condition.text()));
        return summary;
    }
    QStringList refused;
    for (const QString& relative : filesBelow(folder, dicomDirPath)) {
        if (dicomDir.addDicomFile(nativeName(relative), nativeName(folder)).good())
            ++summary.indexedFiles;
        else
            refused << relative;
    }
    condition = dicomDir.writeDicomDir();
    if (condition.bad())
        summary.result = DicomResult::failure(QString::fromLatin1(condition.text()));
    else if (!refused.isEmpty())
        summary.result
            = DicomResult::failure(QStringLiteral("Fichiers non indexés : %1").arg(refused.join(", ")));
    else
        summary.result = DicomResult::success();
    return summary;
}

} // namespace vexa

namespace vexa {

namespace {

void collectImageFiles(DcmDirectoryRecord& record, QStringList& files)
{
    OFString fileId;
    if (record.getRecordType() == ERT_Image
        && record.findAndGetOFStringArray(DCM_ReferencedFileID, fileId).good())
        files << QString::fromLatin1(fileId.c_str()).replace(QLatin1Char('\\'), QLatin1Char('/'));
    for (unsigned long i = 0; i < record.cardSub(); ++i)
        collectImageFiles(*record.getSub(i), files);
}

} // namespace

QStringList dicomDirImageFiles(const QString& dicomDirPath)
{
    registerDicomCodecs();
    DcmDicomDir dicomDir(nativeName(dicomDirPath));
    QStringList files;
    if (dicomDir.error().bad())
        return files;
    collectImageFiles(dicomDir.getRootRecord(), files);
    return files;
}

} // namespace vexa
