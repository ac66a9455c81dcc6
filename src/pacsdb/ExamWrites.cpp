#include "pacsdb/ExamWrites.h"

#include "pacsdb/ExamChecks.h"
#include "pacsdb/JetDialect.h"
#include "pacsdb/PacsConnection.h"
#include "pacsdb/QueryCatalogue.h"
#include "pacsdb/SqlExec.h"

namespace vexa {

namespace {

// One statement on the calling thread's connection: "" or the database's text.
QString execute(const QString& conquestPath, const QString& jet)
{
    QString error;
    QSqlDatabase db = pacsConnection(conquestPath, &error);
    if (!db.isOpen())
        return error.isEmpty() ? QStringLiteral("base de données fermée") : error;
    const QSqlError failure = execJet(db, jet);
    return failure.isValid() ? failure.text() : QString();
}

ExamWrite outcome(const QString& error)
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
        return examDeletedElsewhereText();
    case Failed:
        break;
    }
    return error;
}

ExamWrite checkExamStillThere(const QString& conquestPath, const Exam& exam)
{
    const SeriesPresence presence = checkSeries(conquestPath, exam.seriesUid);
    if (!presence.answered)
        return {ExamWrite::Failed, presence.error};
    return {presence.exists ? ExamWrite::Written : ExamWrite::Gone, {}};
}

ExamWrite markExamBurned(const QString& conquestPath, const Exam& exam)
{
    const ExamWrite check = checkExamStillThere(conquestPath, exam);
    if (!check.written())
        return check;
    return outcome(execute(conquestPath,
        QStringLiteral("UPDATE DICOMSeries SET Burned = -1 WHERE SeriesInst = %1")
            .arg(jetQuote(exam.seriesUid))));
}

ExamWrite markImagePrinted(const QString& conquestPath, const QString& sopInstance, const QDate& day)
{
    if (sopInstance.isEmpty() || !imageStillThere(conquestPath, sopInstance))
        return {ExamWrite::Gone, {}};
    return outcome(execute(conquestPath, sql::markImagePrinted(sopInstance, day)));
}

} // namespace vexa
