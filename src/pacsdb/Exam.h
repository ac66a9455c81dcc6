#pragma once
// The exam an action acts on, taken as a value when the action starts and
// carried to its end: whatever the user opens or closes meanwhile, the action
// finishes on this exam. Writes name the series by its UID, never by a row.
#include <QString>

namespace vexa {

struct Exam {
    QString seriesUid; // SeriesInst
    QString studyUid; // StudyInsta
    QString patientId; // PatientID
    QString patientName; // readable, family name first
    QString examDate; // DD/MM/YYYY

    bool isValid() const { return !seriesUid.isEmpty(); }
    friend bool operator==(const Exam&, const Exam&) = default;
};

} // namespace vexa
