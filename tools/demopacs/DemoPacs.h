#pragma once
// Writes a Conquest-like PACS: database rows (patients, studies, series,
// images) and the image files of the store, as Conquest does when it
// receives images. Some patients are stored as ".v2" (bare data set,
// implicit VR little endian), others as ".dcm" files with a meta header.
#include "dicom/DicomWriter.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>

namespace vexa::demo {

enum class SeriesKind { ComputedRadiograph, Ct, Ultrasound, MultiFrame };

struct DemoPacsOptions {
    QString database; // SQLite file path or postgresql:// URL
    QString imageStore; // root folder of the images
    int patients = 12;
    int imagesPerSeries = 2; // CT series get three times as many slices
    bool small = false; // small images (tests)
    QDate today = QDate::currentDate();
};

struct DemoPatient {
    QString id;
    QString name;
    QString birthDate;
    QString sex;
    bool withMetaHeader = false; // ".dcm" files instead of ".v2"
    // Sent in ISO_IR 192 (UTF-8) by its modality; the others in ISO_IR 100
    // (Latin-1). Conquest stores either as the bytes it received.
    bool utf8 = false;
};

class DemoPacs {
public:
    explicit DemoPacs(DemoPacsOptions options);
    ~DemoPacs();

    // Opens the database; `fresh` creates Conquest's tables (an existing
    // SQLite file is replaced). "" on success, else the reason.
    QString open(bool fresh);
    // The initial content: every patient with one study of one or two series
    // spread over the last days and today.
    QString generate();
    // One new series for one of the patients, dated today (feed mode).
    QString addFeedSeries();

    int seriesWritten() const { return seriesCount_; }
    int imagesWritten() const { return imageCount_; }
    static DemoPatient patient(int index);

private:
    QString addSeries(const DemoPatient& patient, SeriesKind kind, QDate date);
    QString insertPatientAndStudy(const DemoPatient& patient, const NewDicomImage& first);
    QString insertSeries(const NewDicomImage& first);
    QString insertImage(const NewDicomImage& image, const QString& objectFile);
    QString writeImage(NewDicomImage& image, const DemoPatient& patient, SeriesKind kind, int index);

    DemoPacsOptions options_;
    QString connection_;
    QSqlDatabase db_;
    int seriesCount_ = 0;
    int imageCount_ = 0;
    int feedCounter_ = 0;
    QString frameOfReferenceUid_; // of the series being written
};

} // namespace vexa::demo
