#include "ImageConverters.h"

#include "DicomLoader.h"
#include "JpegPictures.h"
#include "PictureNames.h"
#include "StandardDicomFile.h"

#include <QDateTime>
#include <QFileInfo>

namespace vexa {

namespace {

struct DecodedImage {
    QString path;
    QDateTime modified;
    DicomLoadResult loaded;
};

DecodedImage& threadCache()
{
    thread_local DecodedImage last;
    return last;
}

// The image this thread decoded last, decoded again when the file changed.
const DicomLoadResult& decodedOnThisThread(const QString& imagePath)
{
    DecodedImage& last = threadCache();
    const QDateTime modified = QFileInfo(imagePath).lastModified();
    if (last.path != imagePath || last.modified != modified || !last.loaded.ok())
        last = {imagePath, modified, loadDicomImage(imagePath)};
    return last.loaded;
}

// Nothing is kept once both pictures are made: the pixels are released.
void forgetOnThisThread()
{
    threadCache() = {};
}

} // namespace

DicomResult DcmtkImageConverters::makePreviewPicture(const QString& imagePath)
{
    const DicomLoadResult& loaded = decodedOnThisThread(imagePath);
    if (!loaded.ok())
        return DicomResult::failure(loaded.error);
    return writePreviewPicture(*loaded.image, previewPicturePath(imagePath));
}

DicomResult DcmtkImageConverters::makeFullSizePicture(const QString& imagePath)
{
    const DicomLoadResult& loaded = decodedOnThisThread(imagePath);
    DicomResult result = loaded.ok() ? writeFullSizePicture(*loaded.image, fullSizePicturePath(imagePath))
                                     : DicomResult::failure(loaded.error);
    forgetOnThisThread();
    return result;
}

DicomResult DcmtkImageConverters::makeStandardDicomFile(const QString& imagePath, const QString& targetPath)
{
    return writeStandardDicomFile(imagePath, targetPath);
}

DicomResult DcmtkImageConverters::makeDicomDir(
    const QString& dicomDirPath, const QString& fileSetId, const QString& folder)
{
    return buildDicomDir(dicomDirPath, fileSetId, folder).result;
}

} // namespace vexa
