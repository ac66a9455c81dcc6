#pragma once
// A stored image (Conquest ".v2" bare data set or any DICOM file) as a DICOM
// Part 10 file: meta header, explicit VR little endian, SOP class and instance
// kept. Compressed images are decoded; one that cannot be decoded is refused.
#include "DicomResult.h"

namespace vexa {

DicomResult writeStandardDicomFile(const QString& storedImagePath, const QString& targetPath);

} // namespace vexa
