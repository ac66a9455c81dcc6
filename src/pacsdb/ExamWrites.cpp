#include "pacsdb/ExamWrites.h"

#include "pacsdb/ExamChecks.h"
#include "pacsdb/JetDialect.h"
#include "pacsdb/PacsConnection.h"
#include "pacsdb/QueryCatalogue.h"
#include "pacsdb/SqlExec.h"

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

} // namespace

QString ExamWrite::failureText() const
{
    switch (outcome) {
    case Written:
        return {};
    case Gone:
        return ExamDeletedElsewhereText();
    case Failed:
        break;
    }
    return error;
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

} // namespace vexa
