#include "dicom/StandardDicomFile.h"

#include "dicom/DcmtkFileName.h"
#include "dicom/DcmtkSafeRead.h"

#include "dicom/DicomCodecs.h"

#include <dcmtk/dcmdata/dcdeftag.h>
#include <dcmtk/dcmdata/dcfilefo.h>

#include <QFile>
#include <filesystem>
#include <system_error>

namespace vexa {

namespace {

DicomResult checkIdentity(DcmDataset& dataset)
{
    OFString sopClass, sopInstance;
    if (dataset.findAndGetOFString(DCM_SOPClassUID, sopClass).bad() || sopClass.empty()
        || dataset.findAndGetOFString(DCM_SOPInstanceUID, sopInstance).bad() || sopInstance.empty())
        return DicomResult::failure(QStringLiteral("SOP Class UID ou SOP Instance UID absent."));
    return DicomResult::success();
}

DicomResult fail(const QString& what, const OFCondition& condition)
{
    return DicomResult::failure(QStringLiteral("%1 : %2").arg(what, QString::fromLatin1(condition.text())));
}

} // namespace

DicomResult writeStandardDicomFile(const QString& storedImagePath, const QString& targetPath)
{
    registerDicomCodecs();
    DcmFileFormat file;
    OFCondition condition = readCatchingExceptions([&] {
        return file.loadFile(
            nativeName(storedImagePath), EXS_Unknown, EGL_noChange, DCM_MaxReadLength, ERM_autoDetect);
    });
    if (condition.bad())
        return fail(QStringLiteral("Fichier DICOM illisible"), condition);
    DcmDataset& dataset = *file.getDataset();
    if (DicomResult identity = checkIdentity(dataset); !identity.ok)
        return identity;
    condition = dataset.chooseRepresentation(EXS_LittleEndianExplicit, nullptr);
    if (condition.bad() || !dataset.canWriteXfer(EXS_LittleEndianExplicit))
        return DicomResult::failure(QStringLiteral("Compression non prise en charge."));
    // Written beside the target, then renamed: a half-written file never
    // carries the final name.
    const QString partial = targetPath + QStringLiteral(".part");
    condition = file.saveFile(nativeName(partial), EXS_LittleEndianExplicit, EET_ExplicitLength, EGL_recalcGL,
        EPD_withoutPadding, 0, 0, EWM_createNewMeta);
    if (condition.bad()) {
        QFile::remove(partial);
        return fail(QStringLiteral("Écriture impossible"), condition);
    }
    std::error_code error;
    std::filesystem::rename(
        QFile::encodeName(partial).constData(), QFile::encodeName(targetPath).constData(), error);
    if (error) {
        QFile::remove(partial);
        return DicomResult::failure(QStringLiteral("Écriture impossible : %1").arg(targetPath));
    }
    return DicomResult::success();
}

} // namespace vexa
