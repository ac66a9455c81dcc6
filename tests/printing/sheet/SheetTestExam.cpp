#include "SheetTestExam.h"
#include "pacsdb/ImageFiles.h"

#include "dicom/DicomWriter.h"
#include "pacsdb/ConquestQueries.h"
#include "pacsdb/PacsUpgrade.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace vexa::test {

QString writeExam(PacsTestDb& pacs, const QString& imageRoot, const std::vector<ExamImage>& images,
    const ExamPatient& patient)
{
    QString error = openAndUpgrade(pacs.path());
    if (!error.isEmpty())
        return error;
    // Conquest writes the series row with the images'.
    pacs.insertSeries(patient.seriesUid, patient.patientId, QStringLiteral("20260314"));
    for (std::size_t i = 0; i < images.size(); ++i) {
        const ExamImage& entry = images[i];
        NewDicomImage image;
        image.patientName = QString(patient.name).replace(QLatin1Char(' '), QLatin1Char('^'));
        image.patientId = patient.patientId;
        image.studyInstanceUid = patient.seriesUid + QStringLiteral(".9");
        image.seriesInstanceUid = patient.seriesUid;
        image.sopInstanceUid = patient.seriesUid + QStringLiteral(".%1").arg(i + 1);
        image.sopClassUid = sop_class::ComputedRadiography;
        image.studyDate = QStringLiteral("20260314");
        image.modality = QStringLiteral("CR");
        image.instanceNumber = static_cast<int>(i) + 1;
        image.columns = entry.size.width();
        image.rows = entry.size.height();
        image.bitsAllocated = 8;
        image.bitsStored = 8;
        image.pixelData = QByteArray(entry.size.width() * entry.size.height(), static_cast<char>(entry.grey));
        image.windowCenter = 128;
        image.windowWidth = 256;
        const QString path = QDir(imageRoot).filePath(entry.objectFile);
        QDir().mkpath(QFileInfo(path).path());
        const DicomResult written = writeDicomImage(image, path, DicomFileLayout::WithMetaHeader);
        if (!written.ok)
            return written.error;
        QImage preview(entry.size / 4, QImage::Format_Grayscale8);
        preview.fill(QColor(entry.grey, entry.grey, entry.grey));
        if (!preview.save(previewPicturePath(storedImagePath(imageRoot, entry.objectFile)), "JPEG"))
            return QStringLiteral("preview of ") + entry.objectFile;

        QSqlQuery insert(pacs.db());
        insert.prepare(QStringLiteral(
            "INSERT INTO DICOMImages (SOPInstanc, SeriesInst, ImagePat, ObjectFile, "
            "ImageDate, AcqDate, PatientName, Printed, ScanDate) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        insert.addBindValue(image.sopInstanceUid);
        insert.addBindValue(patient.seriesUid);
        insert.addBindValue(image.patientId);
        insert.addBindValue(entry.objectFile);
        insert.addBindValue(QStringLiteral("20260314"));
        insert.addBindValue(patient.acqDate);
        insert.addBindValue(patient.name);
        insert.addBindValue(entry.printed ? -1 : 0);
        insert.addBindValue(
            patient.scanDate.isValid() ? QVariant(patient.scanDate) : QVariant(QMetaType(QMetaType::QDate)));
        if (!insert.exec())
            return insert.lastError().text();
    }
    return {};
}

std::vector<ExamImage> numberedImages(int count, QSize size)
{
    std::vector<ExamImage> images;
    for (int i = 0; i < count; ++i)
        images.push_back(
            {QStringLiteral("PAT1/image_%1.dcm").arg(i + 1), 30 + (200 * i) / std::max(1, count - 1), size});
    return images;
}

} // namespace vexa::test
