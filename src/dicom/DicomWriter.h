#pragma once
// Writes new DICOM images from plain values: the demo PACS generator, tests
// and benchmarks use it to make realistic stores without DCMTK of their own.
#include "dicom/DicomResult.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace vexa {

struct NewDicomImage {
    // Identity. Text is written in ISO_IR 100 (Latin-1), or in ISO_IR 192
    // (UTF-8) when utf8 is set, as modalities send it.
    bool utf8 = false;
    QString patientName;
    QString patientId;
    QString patientBirthDate; // YYYYMMDD
    QString patientSex;
    QString studyInstanceUid;
    QString seriesInstanceUid;
    QString sopInstanceUid;
    QString sopClassUid;
    QString studyDate; // YYYYMMDD
    QString studyTime; // HHMMSS
    QString studyId;
    QString accessionNumber;
    QString referringPhysician;
    QString studyDescription;
    QString seriesDescription;
    QString modality;
    QString bodyPart;
    QString stationName;
    int seriesNumber = 1;
    int instanceNumber = 1;

    // Pixels: little-endian samples, row by row, frame after frame; RGB
    // interleaved when three samples per pixel.
    int columns = 0;
    int rows = 0;
    int frames = 1;
    int samplesPerPixel = 1;
    int bitsAllocated = 16;
    int bitsStored = 12;
    bool signedPixels = false;
    QString photometric = QStringLiteral("MONOCHROME2");
    QByteArray pixelData;

    std::optional<double> windowCenter;
    std::optional<double> windowWidth;
    std::optional<double> rescaleIntercept;
    std::optional<double> rescaleSlope;
    // Millimetres between rows and between columns.
    std::optional<std::pair<double, double>> pixelSpacing;
    std::optional<std::pair<double, double>> imagerPixelSpacing;
    // Further elements, each "path=value" as DCMTK's dcmodify takes them:
    // "(0008,0070)=VexaDICOM", "(0028,3010)[0].(0028,3002)=256\\0\\8"
    // (values of OB/OW elements in hexadecimal).
    QStringList moreElements;
};

enum class DicomFileLayout {
    WithMetaHeader, // meta header, explicit VR little endian (".dcm")
    BareImplicitLittle // no meta header, implicit VR little endian (Conquest ".v2")
};

DicomResult writeDicomImage(const NewDicomImage& image, const QString& path, DicomFileLayout layout);

// A new globally unique UID under DCMTK's root.
QString newDicomUid();

namespace sop_class {
inline const QString ComputedRadiography = QStringLiteral("1.2.840.10008.5.1.4.1.1.1");
inline const QString CtImage = QStringLiteral("1.2.840.10008.5.1.4.1.1.2");
inline const QString UltrasoundImage = QStringLiteral("1.2.840.10008.5.1.4.1.1.6.1");
inline const QString XRayAngiographic = QStringLiteral("1.2.840.10008.5.1.4.1.1.12.1");
inline const QString SecondaryCapture = QStringLiteral("1.2.840.10008.5.1.4.1.1.7");
} // namespace sop_class

} // namespace vexa
