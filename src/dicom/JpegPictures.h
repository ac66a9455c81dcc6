#pragma once
// The JPEG pictures beside a stored image: a preview whose longest side is
// PreviewLongestSide pixels and a full-size picture, both through the image's
// default window. Files are written to a temporary name and renamed into place.
#include "DicomImageData.h"
#include "DicomResult.h"

#include <QByteArray>
#include <cstdint>
#include <vector>

namespace vexa {

constexpr int PreviewLongestSide = 256;

// 8-bit pixels ready for encoding: one byte per pixel (grey) or RGB triplets.
struct Pixels8 {
    int width = 0;
    int height = 0;
    int channels = 1;
    std::vector<std::uint8_t> bytes;
};

Pixels8 defaultWindowPixels(const DicomImageData& image);
// Area-averaged resampling so the longest side becomes `longestSide`.
Pixels8 resizedToLongestSide(const Pixels8& pixels, int longestSide);
// JPEG bytes, or empty on failure.
QByteArray encodeJpeg(const Pixels8& pixels, int quality);

DicomResult writePreviewPicture(const DicomImageData& image, const QString& targetPath);
DicomResult writeFullSizePicture(const DicomImageData& image, const QString& targetPath);

} // namespace vexa
