#include "browser/actions/ExamActions.h"

#include "base/core/AppValues.h"
#include "base/core/DialogService.h"
#include "browser/ExamOpening.h"
#include "browser/ExamRows.h"
#include "browser/actions/ExamDeletion.h"
#include "pacsdb/ConquestColumns.h"
#include "pacsdb/ExamChecks.h"
#include "pacsdb/ImageFiles.h"
#include "pacsdb/MainRecordSets.h"
#include "pacsdb/QueryCatalogue.h"
#include "viewer/window/DeleteImageDialog.h"

#include <QDialog>

namespace vexa {

namespace {

const QString DeleteImageTitle = QStringLiteral("Effacer une image");
const QString DeleteExamTitle = QStringLiteral("Détruire un dossier...");

void Report(const QString& text, const QString& title)
{
    MsgBox(text, MsgIcon::Critical, MsgButtons::Ok, title);
}

void ReportUndeleted(const QStringList& paths, const QString& title)
{
    if (!paths.isEmpty())
        Report(ExamActions::UndeletedFilesText(paths), title);
}

// True when the exam is still there; otherwise the user is told why nothing
// is done (deleted elsewhere, or the database did not answer).
bool StillThere(const QString& conquestPath, const Exam& exam, const QString& title)
{
    const ExamWrite check = CheckExamStillThere(conquestPath, exam);
    if (check.outcome == ExamWrite::Gone)
        MsgBox(ExamDeletedElsewhereText(), MsgIcon::Exclamation, MsgButtons::Ok, title);
    else if (check.outcome == ExamWrite::Failed)
        Report(QStringLiteral("Le dossier n'a pas pu être lu dans la base de données :\r\n") + check.error,
            title);
    return check.written();
}

} // namespace

const QString ExamActions::DeleteExamQuestion
    = QStringLiteral("ATTENTION : vous allez détruire ce dossier, ses images et compte-rendu, de façon  \r\n"
                     "IRREMEDIABLE et DEFINITIVE.  \r\n\r\nÊtes-vous sûr de vouloir poursuivre ?");
const QString ExamActions::StillReceivingText
    = QStringLiteral("Les images de ce dossier sont encore en cours de réception.\r\n"
                     "Veuillez réessayer dans quelques instants.");

QString ExamActions::ExamNamed(const Exam& exam)
{
    return QStringLiteral("Patient : %1\r\nExamen du %2").arg(exam.patientName, exam.examDate);
}

QString ExamActions::DeleteExamQuestionFor(const Exam& exam)
{
    return ExamNamed(exam) + QStringLiteral("\r\n\r\n") + DeleteExamQuestion;
}

QString ExamActions::UndeletedFilesText(const QStringList& paths)
{
    return (paths.size() == 1 ? QStringLiteral("Ce fichier n'a pas pu être effacé :\r\n")
                              : QStringLiteral("Ces fichiers n'ont pas pu être effacés :\r\n"))
        + paths.join(QStringLiteral("\r\n"));
}

ExamActions::ExamActions(MainRecordSets& sets, QWidget* parent)
    : runWindow([](QDialog& window) { return window.exec(); })
    , sets(sets)
    , parent(parent)
{
}

bool ExamActions::deleteSelectedImage(const Exam& exam, ThumbnailSink& thumbnails)
{
    RecordSet& images = sets.examImages;
    if (!exam.isValid() || images.currentRow() < 0 || images.fieldText(Col::SeriesInst) != exam.seriesUid)
        return false;
    const AppValues& values = appValues();
    // The image by its key, taken now: the list may be read again meanwhile.
    const QString sopInstance = images.fieldText(Col::SopInstance);
    // A row naming no file has none to delete (its path would be the store's root).
    const QString objectFile = images.fieldText(Col::ObjectFile);
    const QString imagePath
        = objectFile.trimmed().isEmpty() ? QString() : StoredImagePath(values.ConquestImagePath, objectFile);
    DeleteImageShared().DeleteImagePicture = imagePath.isEmpty() ? QString() : previewPicturePath(imagePath);
    DeleteImageShared().DeleteImagePatient = ExamNamed(exam);
    {
        DeleteImageDialog dialog(parent);
        runWindow(dialog);
    }
    if (!DeleteImageShared().DeleteImageConfirmed)
        return false;
    if (!StillThere(values.ConquestPath, exam, DeleteImageTitle))
        return false;
    if (!ImageStillThere(values.ConquestPath, sopInstance)) {
        MsgBox(ExamDeletedElsewhereText(), MsgIcon::Exclamation, MsgButtons::Ok, DeleteImageTitle);
        return false;
    }

    const QString error = DeleteImageRow(values.ConquestPath, sopInstance);
    if (!error.isEmpty()) {
        Report(QStringLiteral("L'image n'a pas pu être supprimée de la base de données :\r\n") + error,
            DeleteImageTitle);
        return false;
    }
    if (!imagePath.isEmpty())
        ReportUndeleted(RemoveExistingFiles(FilesOfImage(imagePath)), DeleteImageTitle);
    images.requery();
    LoadMainThumbnails(sets, values.ConquestPath, values.ConquestImagePath, thumbnails, exam.seriesUid, 0);
    return true;
}

bool ExamActions::deleteExam(const Exam& exam)
{
    const QString seriesUid = exam.seriesUid;
    if (seriesUid.isEmpty())
        return false;
    const MsgResult answer = MsgBox(
        DeleteExamQuestionFor(exam), MsgIcon::Exclamation, MsgButtons::YesNo, DeleteExamTitle, MsgResult::No);
    if (answer != MsgResult::Yes)
        return false;

    const AppValues& values = appValues();
    if (!StillThere(values.ConquestPath, exam, DeleteExamTitle))
        return false;
    SeriesContent content;
    QString error;
    if (!ReadSeriesContent(
            sets.workSet, values.ConquestPath, values.ConquestImagePath, seriesUid, content, error)) {
        Report(QStringLiteral("Le dossier n'a pas pu être lu dans la base de données :\r\n") + error,
            DeleteExamTitle);
        return false;
    }
    if (StillReceiving(content, now())) {
        MsgBox(StillReceivingText, MsgIcon::Exclamation, MsgButtons::Ok, DeleteExamTitle);
        return false;
    }
    error = DeleteSeriesRows(values.ConquestPath, seriesUid);
    if (!error.isEmpty()) {
        Report(QStringLiteral("Le dossier n'a pas pu être supprimé de la base de données :\r\n") + error,
            DeleteExamTitle);
        return false;
    }
    ReportUndeleted(RemoveExistingFiles(content.files), DeleteExamTitle);

    // The exam's rows are gone: page 2's lists of it may not be read any more.
    if (sets.examImages.recordSource() == Sql::ImagesOfSeries(seriesUid)) {
        sets.examImages.close();
        sets.examSeries.close();
    }
    return true;
}

} // namespace vexa
