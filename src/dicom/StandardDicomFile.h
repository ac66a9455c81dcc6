#pragma once
// A stored image (Conquest ".v2" bare data set or any DICOM file) as a DICOM
// file with a meta header (PS3.10): explicit VR little endian, SOP class and instance
// kept. Compressed images are decoded; one that cannot be decoded is refused.
#include "dicom/DicomResult.h"

namespace vexa {

DicomResult writeStandardDicomFile(const QString& storedImagePath, const QString& targetPath);

} // namespace vexa
