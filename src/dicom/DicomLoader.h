#pragma once
// Reads a DICOM file (with or without a meta header, any transfer syntax whose
// decoder is registered) and decodes its first frame.
#include "DicomImageData.h"

#include <QString>
#include <cstddef>

namespace vexa {

DicomLoadResult loadDicomImage(const QString& path);
// Same from bytes in memory (the content of a file).
DicomLoadResult loadDicomImageFromMemory(const void* data, std::size_t size);

} // namespace vexa
