#pragma once
// The images a print sheet offers: the images of one exam, or the images of
// the day not printed yet, one group per patient. Each image carries what the
// sheet's caption says about it: its patient and its exam date.
#include "pacsdb/Exam.h"

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

namespace vexa {

struct SheetImage {
    QString sopInstance; // SOPInstanc
    QString objectFile; // ObjectFile, relative to the image root
    QString seriesUid; // SeriesInst
    QString patientName; // PatientName as stored
    QString examDate; // DD/MM/YYYY: the acquisition date, else the image date
};

// One patient's images; `exam` names the patient and the first series.
struct SheetPatient {
    Exam exam;
    std::vector<SheetImage> images;
};

// The series' images in their order; nullopt when the database does not answer.
std::optional<std::vector<SheetImage>> readSeriesImages(
    const QString& conquestPath, const QString& seriesUid);

// The images received on `day` and not printed yet, grouped by patient
// (patients by name, then identifier; each patient's images by series, in
// their order); nullopt when the database does not answer.
std::optional<std::vector<SheetPatient>> readImagesWaitingToPrint(
    const QString& conquestPath, const QDate& day);

// The patient and exam date of the images on a sheet, from the first image
// that has them.
struct SheetIdentity {
    QString patientName;
    QString examDate;
};
SheetIdentity identityOf(const std::vector<SheetImage>& images);

} // namespace vexa
