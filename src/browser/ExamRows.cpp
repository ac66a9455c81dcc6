#include "ExamRows.h"

#include "Dates.h"
#include "ExamChecks.h"
#include "JetDialect.h"
#include "PacsConnection.h"
#include "PersonName.h"
#include "QueryCatalogue.h"
#include "SqlExec.h"

namespace vexa {

namespace {

// One statement on the calling thread's connection: "" or the database's text.
QString Execute(const QString& conquestPath, const QString& jet)
{
    QString error;
    QSqlDatabase db = PacsConnection(conquestPath, &error);
    if (!db.isOpen())
        return error.isEmpty() ? QStringLiteral("base de données fermée") : error;
    const QSqlError failure = ExecJet(db, jet);
    return failure.isValid() ? failure.text() : QString();
}

ExamWrite Outcome(const QString& error)
{
    return error.isEmpty() ? ExamWrite{ExamWrite::Written, {}} : ExamWrite{ExamWrite::Failed, error};
}

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

ExamWrite CheckExamStillThere(const QString& conquestPath, const Exam& exam)
{
    const SeriesPresence presence = CheckSeries(conquestPath, exam.seriesUid);
    if (!presence.answered)
        return {ExamWrite::Failed, presence.error};
    return {presence.exists ? ExamWrite::Written : ExamWrite::Gone, {}};
}

ExamWrite MarkExamBurned(const QString& conquestPath, const Exam& exam)
{
    const ExamWrite check = CheckExamStillThere(conquestPath, exam);
    if (!check.written())
        return check;
    return Outcome(Execute(conquestPath,
        QStringLiteral("UPDATE DICOMSeries SET Burned = -1 WHERE SeriesInst = %1")
            .arg(JetQuote(exam.seriesUid))));
}

ExamWrite MarkImagePrinted(const QString& conquestPath, const QString& sopInstance, const QDate& day)
{
    if (sopInstance.isEmpty() || !ImageStillThere(conquestPath, sopInstance))
        return {ExamWrite::Gone, {}};
    return Outcome(Execute(conquestPath, Sql::MarkImagePrinted(sopInstance, day)));
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
