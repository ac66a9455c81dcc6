#include "browser/ExamRows.h"

#include "base/core/Dates.h"
#include "base/core/PersonName.h"
#include "pacsdb/JetDialect.h"
#include "pacsdb/QueryCatalogue.h"

namespace vexa {

namespace {

QString AcquisitionDay(const RecordSet& images)
{
    const QString date = images.fieldText(QStringLiteral("AcqDate"));
    return YyyymmddToDdMmYyyy(date.isEmpty() ? images.fieldText(QStringLiteral("ImageDate")) : date);
}

} // namespace

Exam ExamOfOpenedRows(const MainRecordSets& sets)
{
    Exam exam;
    exam.seriesUid = sets.examSeries.fieldText(QStringLiteral("SeriesInst"));
    exam.studyUid = sets.examSeries.fieldText(QStringLiteral("StudyInsta"));
    exam.patientId = sets.examSeries.fieldText(QStringLiteral("SeriesPat"));
    exam.patientName = sets.examImages.fieldText(QStringLiteral("PatientName"));
    const QDate scanDate = sets.examImages.fieldDate(QStringLiteral("ScanDate"));
    exam.examDate = scanDate.isValid() ? ToDdMmYyyy(scanDate) : QString();
    return exam;
}

Exam ExamOfImageRow(const RecordSet& images)
{
    Exam exam;
    if (images.currentRow() < 0)
        return exam;
    exam.seriesUid = images.fieldText(QStringLiteral("SeriesInst"));
    exam.patientId = images.fieldText(QStringLiteral("ImagePat"));
    exam.patientName = images.fieldText(QStringLiteral("PatientName"));
    exam.examDate = AcquisitionDay(images);
    return exam;
}

QString PractitionerOf(const QString& conquestPath, const QString& studyUid)
{
    if (studyUid.isEmpty())
        return {};
    RecordSet study(QStringLiteral("practitionerStudy"));
    study.setDatabasePath(conquestPath);
    study.setRecordSource(Sql::StudyByUid(studyUid));
    if (!study.requery() || study.count() == 0)
        return {};
    return ReadablePersonName(study.fieldText(QStringLiteral("ReferPhysi")));
}

QString FirstObjectFile(const QString& conquestPath, const QString& seriesUid)
{
    RecordSet images(QStringLiteral("firstImage"));
    images.setDatabasePath(conquestPath);
    images.setRecordSource(Sql::ImagesOfSeries(seriesUid));
    if (!images.requery() || images.count() == 0)
        return {};
    return images.fieldText(QStringLiteral("ObjectFile"));
}

void RereadExamImages(RecordSet& examImages, const Exam& exam)
{
    if (!exam.isValid() || examImages.recordSource() != Sql::ImagesOfSeries(exam.seriesUid))
        return;
    const QString current = examImages.fieldText(QStringLiteral("SOPInstanc"));
    if (!examImages.requery())
        return;
    if (current.isEmpty() || !examImages.findFirst(QStringLiteral("SOPInstanc = ") + JetQuote(current)))
        examImages.moveFirst();
}

} // namespace vexa
