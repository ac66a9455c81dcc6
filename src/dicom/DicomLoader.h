#pragma once
// Reads a DICOM file (with or without a meta header, any transfer syntax whose
// decoder is registered) and decodes one of its frames. Only that frame is
// read: the pixels of the others stay in the file.
#include "dicom/DicomImageData.h"
#include "dicom/Pixels8.h"

#include <QString>
#include <cstddef>
#include <cstdint>

namespace vexa {

// What one image may take in memory while it is decoded, by default.
constexpr std::uint64_t DefaultMaxImageBytes = std::uint64_t{1} << 30;

// The limit every load takes unless it names its own: DefaultMaxImageBytes
// until the start-up sets the user's (any thread may load meanwhile).
std::uint64_t imageMemoryLimit();
void setImageMemoryLimit(std::uint64_t bytes);

struct DicomLoadOptions {
    int frame = 0; // from 0; frameCount in the result tells how many there are
    // An image that would take more (decoder buffers, modality values) is
    // refused before anything is allocated for it.
    std::uint64_t maxImageBytes = imageMemoryLimit();
};

DicomLoadResult loadDicomImage(const QString& path, const DicomLoadOptions& options = {});
// Same from bytes in memory (the content of a file), through a temporary file.
DicomLoadResult loadDicomImageFromMemory(
    const void* data, std::size_t size, const DicomLoadOptions& options = {});

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

DefaultWindowPixels loadDefaultWindowPixels(
    const QString& path, std::uint64_t maxImageBytes = imageMemoryLimit());

} // namespace vexa
