#include "browser/ExamOpening.h"

#include "base/core/DialogService.h"
#include "base/core/Log.h"
#include "base/core/ProgramTitle.h"
#include "browser/ExamRows.h"
#include "pacsdb/ConquestColumns.h"
#include "pacsdb/ImageFiles.h"
#include "pacsdb/QueryCatalogue.h"

namespace vexa {
namespace {

bool query(RecordSet& set, const QString& path, const QString& jet)
{
    set.setDatabasePath(path);
    set.setRecordSource(jet);
    return set.requery();
}

// Empties the exam's record sets and says why; no exam is opened.
Exam failOpening(MainRecordSets& sets, const RecordSet& failed)
{
    const QString description = failed.lastError();
    for (RecordSet* set : {&sets.examImages, &sets.examSeries, &sets.examStudy})
        set->close();
    msgBox(databaseFailureText(description), MsgIcon::Critical, MsgButtons::Ok, ProgramTitle);
    return {};
}

Exam noImageMessage()
{
    msgBox(noImageText(), MsgIcon::Information, MsgButtons::Ok, ProgramTitle);
    return {};
}

} // namespace

QString noImageText()
{
    return QStringLiteral("Cet examen ne contient pas d'images");
}

QString noExamSelectedText()
{
    return QStringLiteral("Vous n'avez pas sélectionné de patient.\nVeuillez choisir un patient dans une des "
                          "listes, puis cliquer sur 'Ouvrir l'examen'.");
}

QString databaseFailureText(const QString& description)
{
    return QStringLiteral("La base de données n'a pas répondu :\n") + description;
}

void loadMainThumbnails(MainRecordSets& sets, const QString& conquestPath, const QString& conquestImagePath,
    ThumbnailSink& thumbnails, const QString& seriesUid, int firstImage)
{
    for (int i = 0; i < MainThumbnailCount; ++i) {
        thumbnails.clearPicture(i);
        thumbnails.setTag(i, QString());
    }
    const QStringList files
        = ConquestQueries(sets, conquestPath).imageFilesOfSeries(seriesUid, firstImage, MainThumbnailCount);
    for (int i = 0; i < files.size(); ++i) {
        // A missing picture stops the filling; those filled stay.
        if (!thumbnails.loadPicture(i, previewPicturePath(storedImagePath(conquestImagePath, files[i]))))
            break;
        thumbnails.setTag(i, files[i]);
    }
}

Exam openExam(MainRecordSets& sets, RecordSet& list, const QString& conquestPath,
    const QString& conquestImagePath, const SeriesExporter& exporter, ThumbnailSink& thumbnails)
{
    // The row's UID now: the list may be requeried while the pictures are made.
    const QString uid = list.currentRow() < 0 ? QString() : list.fieldText(col::SeriesInst);
    if (uid.isEmpty())
        return noImageMessage();
    if (!query(sets.examImages, conquestPath, sql::imagesOfSeries(uid)))
        return failOpening(sets, sets.examImages);
    if (sets.examImages.count() == 0)
        return noImageMessage();
    if (exporter && exporter(conquestPath, uid) && !sets.examImages.requery())
        return failOpening(sets, sets.examImages);
    loadMainThumbnails(sets, conquestPath, conquestImagePath, thumbnails, uid, 0);
    if (!query(sets.examSeries, conquestPath, sql::seriesByUid(uid)))
        return failOpening(sets, sets.examSeries);
    if (!query(sets.examStudy, conquestPath, sql::studyByUid(sets.examSeries.fieldText(col::StudyInsta))))
        return failOpening(sets, sets.examStudy);
    Exam exam = examOfOpenedRows(sets);
    exam.seriesUid = uid;
    notePatientName(exam.patientName); // kept out of the support log
    return exam;
}

PageChange decidePageChange(int newPage, bool examOpen)
{
    PageChange change;
    if (newPage == 2 && !examOpen) {
        change.warnNoExam = true;
        return change;
    }
    change.openOptions = newPage == 4;
    change.monitorRuns = newPage == 1;
    return change;
}

} // namespace vexa
