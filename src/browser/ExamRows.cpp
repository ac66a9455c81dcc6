#include "browser/ExamRows.h"

#include "base/core/Dates.h"
#include "base/core/PersonName.h"
#include "pacsdb/ConquestColumns.h"
#include "pacsdb/ImageRows.h"
#include "pacsdb/JetDialect.h"
#include "pacsdb/QueryCatalogue.h"

namespace vexa {

Exam examOfOpenedRows(const MainRecordSets& sets)
{
    Exam exam;
    exam.seriesUid = sets.examSeries.fieldText(col::SeriesInst);
    exam.studyUid = sets.examSeries.fieldText(col::StudyInsta);
    exam.patientId = sets.examSeries.fieldText(col::SeriesPat);
    exam.patientName = sets.examImages.fieldText(col::PatientName);
    const QDate scanDate = sets.examImages.fieldDate(col::ScanDate);
    exam.examDate = scanDate.isValid() ? toDdMmYyyy(scanDate) : QString();
    return exam;
}

Exam examOfImageRow(const RecordSet& images)
{
    Exam exam;
    if (images.currentRow() < 0)
        return exam;
    exam.seriesUid = images.fieldText(col::SeriesInst);
    exam.patientId = images.fieldText(col::ImagePat);
    exam.patientName = images.fieldText(col::PatientName);
    exam.examDate = examDayOfImage(images);
    return exam;
}

QString practitionerOf(const QString& conquestPath, const QString& studyUid)
{
    if (studyUid.isEmpty())
        return {};
    RecordSet study(QStringLiteral("practitionerStudy"));
    study.setDatabasePath(conquestPath);
    study.setRecordSource(sql::studyByUid(studyUid));
    if (!study.requery() || study.count() == 0)
        return {};
    return readablePersonName(study.fieldText(col::ReferPhysi));
}

QString firstObjectFile(const QString& conquestPath, const QString& seriesUid)
{
    RecordSet images(QStringLiteral("firstImage"));
    images.setDatabasePath(conquestPath);
    images.setRecordSource(sql::imagesOfSeries(seriesUid));
    if (!images.requery() || images.count() == 0)
        return {};
    return images.fieldText(col::ObjectFile);
}

void rereadExamImages(RecordSet& examImages, const Exam& exam)
{
    if (!exam.isValid() || examImages.recordSource() != sql::imagesOfSeries(exam.seriesUid))
        return;
    const QString current = examImages.fieldText(col::SopInstance);
    if (!examImages.requery())
        return;
    if (current.isEmpty() || !examImages.findFirst(QStringLiteral("SOPInstanc = ") + jetQuote(current)))
        examImages.moveFirst();
}

} // namespace vexa
