#pragma once
// A small exam for the sheet and interpretation tests, on either database
// engine: 8-bit DICOM images of one flat grey each (or a ramp), their preview
// pictures, and their DICOMImages rows in the given order.
#include "PacsTestDb.h"

#include <QDate>
#include <QSize>
#include <QString>
#include <vector>

namespace vexa::test {

struct ExamImage {
    QString objectFile; // relative to the image root, "/" separated
    int grey = 128; // the grey the image shows through its own window
    QSize size{300, 400};
    bool printed = false;
};

inline const QString ExamSeriesUid = QStringLiteral("1.2.826.0.1.3680043.2.1125.77");

// Whose images they are, and the day they were received (none: not set).
struct ExamPatient {
    QString seriesUid = ExamSeriesUid;
    QString patientId = QStringLiteral("PAT1");
    QString name = QStringLiteral("DUPONT JEAN"); // as PatientName stores it
    QString acqDate = QStringLiteral("20260315");
    QDate scanDate;
};

// Writes the files under `imageRoot` and the rows into `pacs` (upgraded
// first). Returns "" or what failed.
QString writeExam(PacsTestDb& pacs, const QString& imageRoot, const std::vector<ExamImage>& images,
    const ExamPatient& patient = {});

// `count` images named PAT1/image_<n>.dcm, greys spread over the range.
std::vector<ExamImage> numberedImages(int count, QSize size = {300, 400});

} // namespace vexa::test
