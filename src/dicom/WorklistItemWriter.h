#pragma once
// Writes one Modality Worklist item as a file in the folder a file-based
// worklist server reads (DCMTK's wlmscpfs: one folder per called AE title,
// holding a "lockfile" and one "*.wl" file per scheduled step). Any modality
// that queries that server then sees the patient and the procedure.
#include "dicom/DicomResult.h"

#include <QString>

namespace vexa {

struct WorklistItem {
    // Text is written in ISO_IR 100 (Latin-1) when every value fits it, else
    // in ISO_IR 192 (UTF-8); the item's Specific Character Set says which.
    // Control characters are dropped and "\\" (the separator of values)
    // becomes "/": one field is always one value.
    QString patientName; // FAMILY^FIRST
    QString patientId;
    QString patientBirthDate; // YYYYMMDD
    QString patientSex; // M, F or O
    QString accessionNumber;
    QString referringPhysician;
    QString requestedProcedureId;
    QString requestedProcedureDescription;
    QString studyInstanceUid; // a new one is made when empty
    // The scheduled procedure step.
    QString modality;
    QString scheduledStationAeTitle;
    QString startDate; // YYYYMMDD
    QString startTime; // HHMMSS
    QString performingPhysician;
    QString stepId;
    QString stepDescription;
};

// Writes `item` as <folder>/<fileStem>.wl, replacing an older file of that
// name. The folder and its "lockfile" are created when missing. The file is
// written under another name and renamed into place, so the server never reads
// half an item.
DicomResult writeWorklistItem(const WorklistItem& item, const QString& folder, const QString& fileStem);

} // namespace vexa
