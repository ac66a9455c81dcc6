#pragma once
// A DICOMDIR (General Purpose CD-R profile) indexing every DICOM file found
// under a folder. File names below the folder must be DICOM-compliant (at most
// 8 characters A-Z, 0-9 and "_", no extension), as the CD preparation names
// them; other files are reported and left out.
#include "dicom/DicomResult.h"

#include <QStringList>

namespace vexa {

struct DicomDirSummary {
    DicomResult result;
    int indexedFiles = 0;
};

DicomDirSummary buildDicomDir(const QString& dicomDirPath, const QString& fileSetId, const QString& folder);

} // namespace vexa

namespace vexa {

} // namespace vexa
