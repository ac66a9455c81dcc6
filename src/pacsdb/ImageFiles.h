#pragma once
// Where an image of the Conquest store and the files the program keeps beside
// it are, one rule each, for every window and service.
#include <QString>

namespace vexa {

// An image's file: the image store root with its trailing separator, then the
// row's ObjectFile ("\" of Windows-made rows read as "/").
QString storedImagePath(const QString& imageRoot, const QString& objectFile);

// An image's JPEG pictures (export, thumbnails, deletion, CD): the image path
// with a final ".v2" removed (any case), then ".jpeg" (preview) or ".jpg"
// (full size). So "x.v2" gives "x.jpeg" and "x.dcm" gives "x.dcm.jpeg": a
// DICOM file is never taken for its own picture.
enum class PictureKind { Preview, FullSize };

QString picturePath(const QString& imagePath, PictureKind kind);
inline QString previewPicturePath(const QString& imagePath)
{
    return picturePath(imagePath, PictureKind::Preview);
}
inline QString fullSizePicturePath(const QString& imagePath)
{
    return picturePath(imagePath, PictureKind::FullSize);
}

// A series' report lies beside its images: the folder of one of its image
// files, then the series UID and ".rtf". A separator in a damaged UID is
// dropped, so the report never leaves that folder.
QString seriesReportPath(const QString& imagePath, const QString& seriesUid);

} // namespace vexa
