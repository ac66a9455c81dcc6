#pragma once
// The JPEG pictures beside a stored image: a preview whose longest side is
// at most PreviewLongestSide pixels (a smaller image is never enlarged) and a full-size picture, both through
// the image's default window. Files are written to a temporary name and renamed into place.
#include "dicom/DicomImageData.h"
#include "dicom/DicomResult.h"
#include "dicom/Pixels8.h"

#include <QByteArray>

namespace vexa {

constexpr int PreviewLongestSide = 256;

Pixels8 defaultWindowPixels(const DicomImageData& image);
// Area-averaged resampling so the longest side becomes `longestSide`; an
// image no larger than that comes back as it is.
Pixels8 resizedToLongestSide(const Pixels8& pixels, int longestSide);
// JPEG bytes, or empty on failure.
QByteArray encodeJpeg(const Pixels8& pixels, int quality);

DicomResult writePreviewPicture(const DicomImageData& image, const QString& targetPath);
DicomResult writeFullSizePicture(const DicomImageData& image, const QString& targetPath);
// Same from pixels already through the default window (see loadDefaultWindowPixels),
// so the two pictures of an image share one windowing.
DicomResult writePreviewPicture(const Pixels8& windowed, const QString& targetPath);
DicomResult writeFullSizePicture(const Pixels8& windowed, const QString& targetPath);

} // namespace vexa
