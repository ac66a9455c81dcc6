#include "ExamActions.h"

#include "AppValues.h"
#include "DeleteImageDialog.h"
#include "DialogService.h"
#include "ExamDeletion.h"
#include "ExamIdentity.h"
#include "ExamOpening.h"
#include "ImageFiles.h"
#include "MainRecordSets.h"

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

} // namespace

const QString ExamActions::DeleteExamQuestion
    = QStringLiteral("ATTENTION : vous allez détruire ce dossier, ses images et compte-rendu, de façon  \r\n"
                     "IRREMEDIABLE et DEFINITIVE.  \r\n\r\nÊtes-vous sur de vouloir poursuivre ?");
const QString ExamActions::StillReceivingText
    = QStringLiteral("Les images de ce dossier sont encore en cours de réception.\r\n"
                     "Veuillez réessayer dans quelques instants.");

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

bool ExamActions::deleteSelectedImage(ThumbnailSink& thumbnails)
{
    RecordSet& images = sets.examImages;
    if (images.currentRow() < 0)
        return false;
    const AppValues& values = appValues();
    // A row naming no file has none to delete (its path would be the store's root).
    const QString objectFile = images.fieldText(QStringLiteral("ObjectFile"));
    const QString imagePath
        = objectFile.trimmed().isEmpty() ? QString() : StoredImagePath(values.ConquestImagePath, objectFile);
    DeleteImageShared().DeleteImagePicture = imagePath.isEmpty() ? QString() : previewPicturePath(imagePath);
    {
        DeleteImageDialog dialog(parent);
        runWindow(dialog);
    }
    if (!DeleteImageShared().DeleteImageConfirmed)
        return false;

    const QString error = DeleteImageRow(values.ConquestPath, images.fieldText(QStringLiteral("SOPInstanc")));
    if (!error.isEmpty()) {
        Report(QStringLiteral("L'image n'a pas pu être supprimée de la base de données :\r\n") + error,
            DeleteImageTitle);
        return false;
    }
    if (!imagePath.isEmpty())
        ReportUndeleted(RemoveExistingFiles(FilesOfImage(imagePath)), DeleteImageTitle);
    images.requery();
    LoadMainThumbnails(
        sets, values.ConquestPath, values.ConquestImagePath, thumbnails, CurrentExam().SelectedSeriesUID, 0);
    return true;
}

bool ExamActions::deleteExam()
{
    ExamIdentity& exam = CurrentExam();
    const QString seriesUid = exam.SelectedSeriesUID;
    if (seriesUid.isEmpty())
        return false;
    const MsgResult answer
        = MsgBox(DeleteExamQuestion, MsgIcon::Exclamation, MsgButtons::YesNo, DeleteExamTitle, MsgResult::No);
    if (answer != MsgResult::Yes)
        return false;

    const AppValues& values = appValues();
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

    // The exam's rows are gone: nothing may read them any more.
    sets.examImages.close();
    sets.examSeries.close();
    exam.ExamOpen = false;
    exam.SelectedSeriesUID.clear();
    return true;
}

} // namespace vexa
