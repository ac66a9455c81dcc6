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

void report(const QString& text, const QString& title)
{
    msgBox(text, MsgIcon::Critical, MsgButtons::Ok, title);
}

void reportUndeleted(const QStringList& paths, const QString& title)
{
    if (!paths.isEmpty())
        report(ExamActions::undeletedFilesText(paths), title);
}

// True when the exam is still there; otherwise the user is told why nothing
// is done (deleted elsewhere, or the database did not answer).
bool stillThere(const QString& conquestPath, const Exam& exam, const QString& title)
{
    const ExamWrite check = checkExamStillThere(conquestPath, exam);
    if (check.outcome == ExamWrite::Gone)
        msgBox(examDeletedElsewhereText(), MsgIcon::Exclamation, MsgButtons::Ok, title);
    else if (check.outcome == ExamWrite::Failed)
        report(QStringLiteral("Le dossier n'a pas pu être lu dans la base de données :\r\n") + check.error,
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

QString ExamActions::examNamed(const Exam& exam)
{
    return QStringLiteral("Patient : %1\r\nExamen du %2").arg(exam.patientName, exam.examDate);
}

QString ExamActions::deleteExamQuestionFor(const Exam& exam)
{
    return examNamed(exam) + QStringLiteral("\r\n\r\n") + DeleteExamQuestion;
}

QString ExamActions::undeletedFilesText(const QStringList& paths)
{
    return (paths.size() == 1 ? QStringLiteral("Ce fichier n'a pas pu être effacé :\r\n")
                              : QStringLiteral("Ces fichiers n'ont pas pu être effacés :\r\n"))
        + paths.join(QStringLiteral("\r\n"));
}

ExamActions::ExamActions(MainRecordSets& sets, QWidget* parent)
    : runWindow([](QDialog& window) { return window.exec(); })
    , sets_(sets)
    , parent_(parent)
{
}

bool ExamActions::deleteSelectedImage(const Exam& exam, ThumbnailSink& thumbnails)
{
    RecordSet& images = sets_.examImages;
    if (!exam.isValid() || images.currentRow() < 0 || images.fieldText(col::SeriesInst) != exam.seriesUid)
        return false;
    const AppValues& values = appValues();
    // The image by its key, taken now: the list may be read again meanwhile.
    const QString sopInstance = images.fieldText(col::SopInstance);
    // A row naming no file has none to delete (its path would be the store's root).
    const QString objectFile = images.fieldText(col::ObjectFile);
    const QString imagePath
        = objectFile.trimmed().isEmpty() ? QString() : storedImagePath(values.conquestImagePath, objectFile);
    deleteImageShared().deleteImagePicture = imagePath.isEmpty() ? QString() : previewPicturePath(imagePath);
    deleteImageShared().deleteImagePatient = examNamed(exam);
    {
        DeleteImageDialog dialog(parent_);
        runWindow(dialog);
    }
    if (!deleteImageShared().deleteImageConfirmed)
        return false;
    if (!stillThere(values.conquestPath, exam, DeleteImageTitle))
        return false;
    if (!imageStillThere(values.conquestPath, sopInstance)) {
        msgBox(examDeletedElsewhereText(), MsgIcon::Exclamation, MsgButtons::Ok, DeleteImageTitle);
        return false;
    }

    const QString error = deleteImageRow(values.conquestPath, sopInstance);
    if (!error.isEmpty()) {
        report(QStringLiteral("L'image n'a pas pu être supprimée de la base de données :\r\n") + error,
            DeleteImageTitle);
        return false;
    }
    if (!imagePath.isEmpty())
        reportUndeleted(removeExistingFiles(filesOfImage(imagePath)), DeleteImageTitle);
    images.requery();
    loadMainThumbnails(sets_, values.conquestPath, values.conquestImagePath, thumbnails, exam.seriesUid, 0);
    return true;
}

bool ExamActions::deleteExam(const Exam& exam)
{
    const QString seriesUid = exam.seriesUid;
    if (seriesUid.isEmpty())
        return false;
    const MsgResult answer = msgBox(
        deleteExamQuestionFor(exam), MsgIcon::Exclamation, MsgButtons::YesNo, DeleteExamTitle, MsgResult::No);
    if (answer != MsgResult::Yes)
        return false;

    const AppValues& values = appValues();
    if (!stillThere(values.conquestPath, exam, DeleteExamTitle))
        return false;
    SeriesContent content;
    QString error;
    if (!readSeriesContent(
            sets_.workSet, values.conquestPath, values.conquestImagePath, seriesUid, content, error)) {
        report(QStringLiteral("Le dossier n'a pas pu être lu dans la base de données :\r\n") + error,
            DeleteExamTitle);
        return false;
    }
    if (stillReceiving(content, now())) {
        msgBox(StillReceivingText, MsgIcon::Exclamation, MsgButtons::Ok, DeleteExamTitle);
        return false;
    }
    error = deleteSeriesRows(values.conquestPath, seriesUid);
    if (!error.isEmpty()) {
        report(QStringLiteral("Le dossier n'a pas pu être supprimé de la base de données :\r\n") + error,
            DeleteExamTitle);
        return false;
    }
    reportUndeleted(removeExistingFiles(content.files), DeleteExamTitle);

    // The exam's rows are gone: page 2's lists of it may not be read any more.
    if (sets_.examImages.recordSource() == sql::imagesOfSeries(seriesUid)) {
        sets_.examImages.close();
        sets_.examSeries.close();
    }
    return true;
}

} // namespace vexa
