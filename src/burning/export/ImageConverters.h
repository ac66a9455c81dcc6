#pragma once
// The four converters the export and the CD preparation run on stored images,
// behind one interface so tests can record the calls or make one fail.
// Implementations are called from worker threads and must be thread safe.
#include "dicom/DicomDirBuilder.h"
#include "dicom/DicomResult.h"

namespace vexa {

class ImageConverters {
public:
    virtual ~ImageConverters() = default;
    // "dcm2jpeg.sys": the preview picture beside the image (previewPicturePath).
    virtual DicomResult makePreviewPicture(const QString& imagePath) = 0;
    // "dcm2jpg.sys": the full-size picture beside the image (fullSizePicturePath).
    virtual DicomResult makeFullSizePicture(const QString& imagePath) = 0;
    // "fuji2dcm.sys": a standard DICOM file of the stored image at targetPath.
    virtual DicomResult makeStandardDicomFile(const QString& imagePath, const QString& targetPath) = 0;
    // "dcmgpdir.sys": a DICOMDIR indexing every DICOM file under folder.
    virtual DicomResult makeDicomDir(
        const QString& dicomDirPath, const QString& fileSetId, const QString& folder)
        = 0;
};

// The converters on DCMTK and libjpeg-turbo. The preview then the full-size
// picture of one image read and window it once: each worker thread keeps the
// windowed pixels of the image it read last, until its full size is made.
class DcmtkImageConverters : public ImageConverters {
public:
    DicomResult makePreviewPicture(const QString& imagePath) override;
    DicomResult makeFullSizePicture(const QString& imagePath) override;
    DicomResult makeStandardDicomFile(const QString& imagePath, const QString& targetPath) override;
    DicomResult makeDicomDir(
        const QString& dicomDirPath, const QString& fileSetId, const QString& folder) override;
};

} // namespace vexa
