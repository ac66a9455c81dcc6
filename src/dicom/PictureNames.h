#pragma once
// One rule names an image's JPEG pictures everywhere (export, thumbnails,
// deletion, CD): the image path with a final ".v2" removed (any case), then
// ".jpeg" (preview) or ".jpg" (full size). So "x.v2" gives "x.jpeg" and
// "x.dcm" gives "x.dcm.jpeg": a DICOM file is never taken for its own picture.
#include <QString>

namespace vexa {

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

} // namespace vexa
