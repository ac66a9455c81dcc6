#include "dicom/DicomWriter.h"

#include <dcmtk/dcmdata/dcdeftag.h>
#include <dcmtk/dcmdata/dcfilefo.h>
#include <dcmtk/dcmdata/dcpath.h>
#include <dcmtk/dcmdata/dcuid.h>

#include <QFile>
#include <QStringDecoder>
#include <filesystem>
#include <system_error>

namespace vexa {

namespace {

void putText(DcmDataset& dataset, const DcmTagKey& key, const QString& value, bool utf8 = false)
{
    if (!value.isNull())
        dataset.putAndInsertString(key, (utf8 ? value.toUtf8() : value.toLatin1()).constData());
}

void putNumber(DcmDataset& dataset, const DcmTagKey& key, std::optional<double> value)
{
    if (value)
        dataset.putAndInsertString(key, QString::number(*value, 'g', 10).toLatin1().constData());
}

void putPair(DcmDataset& dataset, const DcmTagKey& key, std::optional<std::pair<double, double>> value)
{
    if (value) {
        const QString text
            = QStringLiteral("%1\\%2").arg(value->first, 0, 'g', 10).arg(value->second, 0, 'g', 10);
        dataset.putAndInsertString(key, text.toLatin1().constData());
    }
}

void putIdentity(DcmDataset& d, const NewDicomImage& image)
{
    d.putAndInsertString(DCM_SpecificCharacterSet, image.utf8 ? "ISO_IR 192" : "ISO_IR 100");
    putText(d, DCM_SOPClassUID, image.sopClassUid, image.utf8);
    putText(d, DCM_SOPInstanceUID, image.sopInstanceUid, image.utf8);
    putText(d, DCM_StudyDate, image.studyDate, image.utf8);
    putText(d, DCM_SeriesDate, image.studyDate, image.utf8);
    putText(d, DCM_StudyTime, image.studyTime, image.utf8);
    putText(d, DCM_AccessionNumber, image.accessionNumber, image.utf8);
    putText(d, DCM_Modality, image.modality, image.utf8);
    putText(d, DCM_StationName, image.stationName, image.utf8);
    putText(d, DCM_ReferringPhysicianName, image.referringPhysician, image.utf8);
    putText(d, DCM_StudyDescription, image.studyDescription, image.utf8);
    putText(d, DCM_SeriesDescription, image.seriesDescription, image.utf8);
    putText(d, DCM_PatientName, image.patientName, image.utf8);
    putText(d, DCM_PatientID, image.patientId, image.utf8);
    putText(d, DCM_PatientBirthDate, image.patientBirthDate, image.utf8);
    putText(d, DCM_PatientSex, image.patientSex, image.utf8);
    putText(d, DCM_BodyPartExamined, image.bodyPart, image.utf8);
    putText(d, DCM_StudyInstanceUID, image.studyInstanceUid, image.utf8);
    putText(d, DCM_SeriesInstanceUID, image.seriesInstanceUid, image.utf8);
    putText(d, DCM_StudyID, image.studyId, image.utf8);
    d.putAndInsertString(DCM_SeriesNumber, QByteArray::number(image.seriesNumber).constData());
    d.putAndInsertString(DCM_InstanceNumber, QByteArray::number(image.instanceNumber).constData());
}

void putPixels(DcmDataset& d, const NewDicomImage& image)
{
    d.putAndInsertUint16(DCM_SamplesPerPixel, static_cast<Uint16>(image.samplesPerPixel));
    putText(d, DCM_PhotometricInterpretation, image.photometric);
    if (image.samplesPerPixel > 1)
        d.putAndInsertUint16(DCM_PlanarConfiguration, 0);
    if (image.frames > 1)
        d.putAndInsertString(DCM_NumberOfFrames, QByteArray::number(image.frames).constData());
    d.putAndInsertUint16(DCM_Rows, static_cast<Uint16>(image.rows));
    d.putAndInsertUint16(DCM_Columns, static_cast<Uint16>(image.columns));
    putPair(d, DCM_PixelSpacing, image.pixelSpacing);
    putPair(d, DCM_ImagerPixelSpacing, image.imagerPixelSpacing);
    d.putAndInsertUint16(DCM_BitsAllocated, static_cast<Uint16>(image.bitsAllocated));
    d.putAndInsertUint16(DCM_BitsStored, static_cast<Uint16>(image.bitsStored));
    d.putAndInsertUint16(DCM_HighBit, static_cast<Uint16>(image.bitsStored - 1));
    d.putAndInsertUint16(DCM_PixelRepresentation, image.signedPixels ? 1 : 0);
    putNumber(d, DCM_WindowCenter, image.windowCenter);
    putNumber(d, DCM_WindowWidth, image.windowWidth);
    putNumber(d, DCM_RescaleIntercept, image.rescaleIntercept);
    putNumber(d, DCM_RescaleSlope, image.rescaleSlope);
    const auto* bytes = reinterpret_cast<const Uint8*>(image.pixelData.constData());
    const auto length = static_cast<unsigned long>(image.pixelData.size());
    if (image.bitsAllocated > 8)
        d.putAndInsertUint16Array(DCM_PixelData, reinterpret_cast<const Uint16*>(bytes), length / 2);
    else
        d.putAndInsertUint8Array(DCM_PixelData, bytes, length);
}

} // namespace

DicomResult writeDicomImage(const NewDicomImage& image, const QString& path, DicomFileLayout layout)
{
    DcmFileFormat file;
    DcmDataset& dataset = *file.getDataset();
    putIdentity(dataset, image);
    putPixels(dataset, image);
    for (const QString& element : image.moreElements) {
        DcmPathProcessor path;
        const OFCondition put = path.applyPathWithValue(&dataset, element.toLatin1().constData());
        if (put.bad())
            return DicomResult::failure(
                QStringLiteral("%1 : %2").arg(element, QString::fromLatin1(put.text())));
    }
    const bool withMetaHeader = layout == DicomFileLayout::WithMetaHeader;
    const E_TransferSyntax xfer = withMetaHeader ? EXS_LittleEndianExplicit : EXS_LittleEndianImplicit;
    const QString partial = path + QStringLiteral(".part");
    const OFFilename partialName(QFile::encodeName(partial).constData());
    const OFCondition condition = withMetaHeader ? file.saveFile(partialName, xfer)
                                                 : dataset.saveFile(partialName, xfer, EET_ExplicitLength);
    if (condition.bad()) {
        QFile::remove(partial);
        return DicomResult::failure(QString::fromLatin1(condition.text()));
    }
    std::error_code error;
    std::filesystem::rename(
        QFile::encodeName(partial).constData(), QFile::encodeName(path).constData(), error);
    if (error)
        return DicomResult::failure(QString::fromStdString(error.message()));
    return DicomResult::success();
}

QString newDicomUid()
{
    char uid[100];
    return QString::fromLatin1(dcmGenerateUniqueIdentifier(uid, SITE_INSTANCE_UID_ROOT));
}

} // namespace vexa
