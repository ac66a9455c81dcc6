#include "dicom/DicomDirBuilder.h"

#include "dicom/DcmtkFileName.h"
#include "dicom/DicomCodecs.h"

#include <dcmtk/dcmdata/dcddirif.h>
#include <dcmtk/dcmdata/dcdeftag.h>
#include <dcmtk/dcmdata/dcdicdir.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace vexa {

namespace {

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
