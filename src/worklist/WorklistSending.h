#pragma once
// Sending one patient to the worklist: numbers drawn from the PACS database,
// the NetPix console's file written, and the same patient and procedure
// written as a DICOM worklist item when a folder for them is set.
#include "worklist/WorklistEntry.h"

#include <QString>

namespace vexa {

struct WorklistTargets {
    QString conquestPath; // the PACS database
    QString netpixFolder; // prefix of the console's file names, ends with its separator
    QString initials; // in front of every number drawn
    QString dicomWorklistFolder; // "" writes no DICOM item
};

struct SendOutcome {
    bool sent = false; // the console's file is written
    QString filePath; // the console's file
    QString error; // French; why nothing was announced
    QString warning; // French; the console has the patient but the DICOM item failed
};

// Sends `entry` (checked by CheckEntry, practitioners set): a patient number
// is drawn first when the entry has none (NoPatientNumber), then an accession
// number; both stay in `entry` and stay consumed whatever happens next. The
// console's file replaces an older one of the same name.
SendOutcome sendToWorklist(WorklistEntry& entry, const WorklistTargets& targets);

} // namespace vexa
