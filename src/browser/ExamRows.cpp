#include "browser/ExamRows.h"

#include "base/core/Dates.h"
#include "base/core/PersonName.h"
#include "pacsdb/ConquestColumns.h"
#include "pacsdb/ImageRows.h"
#include "pacsdb/JetDialect.h"
#include "pacsdb/QueryCatalogue.h"

namespace vexa {

Exam ExamOfOpenedRows(const MainRecordSets& sets)
{
    Exam exam;
    exam.seriesUid = sets.examSeries.fieldText(Col::SeriesInst);
    exam.studyUid = sets.examSeries.fieldText(Col::StudyInsta);
    exam.patientId = sets.examSeries.fieldText(Col::SeriesPat);
    exam.patientName = sets.examImages.fieldText(Col::PatientName);
    const QDate scanDate = sets.examImages.fieldDate(Col::ScanDate);
    exam.examDate = scanDate.isValid() ? ToDdMmYyyy(scanDate) : QString();
    return exam;
}

Exam ExamOfImageRow(const RecordSet& images)
{
    Exam exam;
    if (images.currentRow() < 0)
        return exam;
    exam.seriesUid = images.fieldText(Col::SeriesInst);
    exam.patientId = images.fieldText(Col::ImagePat);
    exam.patientName = images.fieldText(Col::PatientName);
    exam.examDate = ExamDayOfImage(images);
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
    return ReadablePersonName(study.fieldText(Col::ReferPhysi));
}

QString FirstObjectFile(const QString& conquestPath, const QString& seriesUid)
{
    RecordSet images(QStringLiteral("firstImage"));
    images.setDatabasePath(conquestPath);
    images.setRecordSource(Sql::ImagesOfSeries(seriesUid));
    if (!images.requery() || images.count() == 0)
        return {};
    return images.fieldText(Col::ObjectFile);
}

void RereadExamImages(RecordSet& examImages, const Exam& exam)
{
    if (!exam.isValid() || examImages.recordSource() != Sql::ImagesOfSeries(exam.seriesUid))
        return;
    const QString current = examImages.fieldText(Col::SopInstance);
    if (!examImages.requery())
        return;
    if (current.isEmpty() || !examImages.findFirst(QStringLiteral("SOPInstanc = ") + JetQuote(current)))
        examImages.moveFirst();
}

} // namespace vexa
