#include "burning/export/ImageConverters.h"

#include "dicom/DicomLoader.h"
#include "dicom/JpegPictures.h"
#include "dicom/StandardDicomFile.h"
#include "pacsdb/ImageFiles.h"

#include <QDateTime>
#include <QFileInfo>

namespace vexa {

namespace {

// An image through its default window: both pictures are made from the
// same 8-bit pixels, so each image is read and windowed once.
struct WindowedImage {
    QString path;
    QDateTime modified;
    DefaultWindowPixels windowed;
};

WindowedImage& threadCache()
{
    thread_local WindowedImage last;
    return last;
}

// The image this thread windowed last, read again when the file changed.
const DefaultWindowPixels& windowedOnThisThread(const QString& imagePath)
{
    WindowedImage& last = threadCache();
    const QDateTime modified = QFileInfo(imagePath).lastModified();
    if (last.path != imagePath || last.modified != modified || !last.windowed.ok())
        last = {imagePath, modified, loadDefaultWindowPixels(imagePath)};
    return last.windowed;
}

// Nothing is kept once both pictures are made: the pixels are released.
void forgetOnThisThread()
{
    threadCache() = {};
}

} // namespace

DicomResult DcmtkImageConverters::makePreviewPicture(const QString& imagePath)
{
    const DefaultWindowPixels& loaded = windowedOnThisThread(imagePath);
    if (!loaded.ok())
        return DicomResult::failure(loaded.error);
    return writePreviewPicture(loaded.pixels, previewPicturePath(imagePath));
}

DicomResult DcmtkImageConverters::makeFullSizePicture(const QString& imagePath)
{
    const DefaultWindowPixels& loaded = windowedOnThisThread(imagePath);
    DicomResult result = loaded.ok() ? writeFullSizePicture(loaded.pixels, fullSizePicturePath(imagePath))
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
