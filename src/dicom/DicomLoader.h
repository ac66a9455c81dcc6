#pragma once
// Reads a DICOM file (with or without a meta header, any transfer syntax whose
// decoder is registered) and decodes its first frame.
#include "DicomImageData.h"
#include "Pixels8.h"

#include <QString>
#include <cstddef>

namespace vexa {

DicomLoadResult loadDicomImage(const QString& path);
// Same from bytes in memory (the content of a file).
DicomLoadResult loadDicomImageFromMemory(const void* data, std::size_t size);

// An image's first frame through its default window, 8 bits per sample: what
// its JPEG pictures are made from. Uncompressed little-endian grey images
// are windowed straight from their stored samples, read from the file in
// strips; every other image is decoded whole then windowed, with the same
// result.
struct DefaultWindowPixels {
    Pixels8 pixels;
    QString error; // readable reason when pixels is empty

    bool ok() const { return !pixels.bytes.empty(); }
};

DefaultWindowPixels loadDefaultWindowPixels(const QString& path);

} // namespace vexa
