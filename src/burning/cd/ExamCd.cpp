#include "burning/cd/ExamCd.h"

#include "pacsdb/ConquestColumns.h"
#include "pacsdb/ExamChecks.h"
#include "pacsdb/ImageFiles.h"
#include "pacsdb/QueryCatalogue.h"
#include "pacsdb/RecordSet.h"
#include "pacsdb/SeriesContent.h"

#include <QDir>

namespace vexa {

namespace {

CdPreparationOutcome refused(const QString& why)
{
    CdPreparationOutcome outcome;
    outcome.error = why;
    return outcome;
}

QString unreadableText(const QString& error)
{
    return QStringLiteral("Le dossier n'a pas pu être lu dans la base de données :\n%1").arg(error);
}

// Why the exam cannot go on a CD as it stands; "" when it can.
QString refusalOf(const SeriesPresence& presence)
{
    if (!presence.answered)
        return unreadableText(presence.error);
    if (!presence.exists)
        return examDeletedElsewhereText();
    if (presence.imageCount == 0)
        return cdWithoutImageText();
    return {};
}

// The series' images in Compteur order, as the CD takes them.
bool readImages(const ExamCdRequest& request, RecordSet& rows, QList<CdImage>& images, QString& error)
{
    rows.setDatabasePath(request.conquestPath);
    rows.setRecordSource(sql::imagesOfSeries(request.exam.seriesUid));
    if (!rows.requery()) {
        error = rows.lastError();
        return false;
    }
    for (rows.moveFirst(); !rows.eof(); rows.moveNext())
        images.append(CdImage{storedImagePath(request.imageRoot, rows.fieldText(col::ObjectFile)),
            rows.fieldBool(col::NotToBurn)});
    rows.close();
    return true;
}

// The CD after staging: every image placed has its DICOM file, and the series
// still has the rows the CD was made from (none arrived, none was deleted).
QString checkStagedCd(const ExamCdRequest& request, int rowsStaged, int imagesOnCd)
{
    const SeriesPresence after = checkSeries(request.conquestPath, request.exam.seriesUid);
    if (!after.answered)
        return unreadableText(after.error);
    if (!after.exists)
        return examDeletedElsewhereText();
    if (after.imageCount != rowsStaged)
        return QStringLiteral("Le nombre d'images de ce dossier a changé pendant la préparation du CD "
                              "(%1 au départ, %2 maintenant).\nVeuillez recommencer la gravure.")
            .arg(rowsStaged)
            .arg(after.imageCount);
    const int files = dicomFilesOnCd(request.folders.cdFolder);
    if (files != imagesOnCd)
        return QStringLiteral("Le CD contient %1 fichiers DICOM au lieu de %2 : il n'est pas prêt.")
            .arg(files)
            .arg(imagesOnCd);
    return {};
}

} // namespace

QString cdStillReceivingText()
{
    return QStringLiteral("Les images de ce dossier sont encore en cours de réception : "
                          "le CD ne peut pas encore être gravé.\nVeuillez réessayer dans quelques instants.");
}

QString cdWithoutImageText()
{
    return QStringLiteral("Ce dossier ne contient aucune image : il n'y a rien à graver.");
}

int dicomFilesOnCd(const QString& cdFolder)
{
    return static_cast<int>(QDir(cdFolder + QStringLiteral("/DICOM"))
                                .entryList(QDir::Files | QDir::Hidden | QDir::System)
                                .size());
}

CdPreparationOutcome prepareExamCd(const ExamCdRequest& request, ImageConverters& converters,
    CdPreparationProgress* progress, QThreadPool* pool)
{
    const QString refusal = refusalOf(checkSeries(request.conquestPath, request.exam.seriesUid));
    if (!refusal.isEmpty())
        return refused(refusal);
    RecordSet rows(QStringLiteral("CdImages"));
    SeriesContent content;
    QString error;
    if (!readSeriesContent(
            rows, request.conquestPath, request.imageRoot, request.exam.seriesUid, content, error))
        return refused(unreadableText(error));
    if (stillReceiving(content, request.now()))
        return refused(cdStillReceivingText());
    QList<CdImage> images;
    if (!readImages(request, rows, images, error))
        return refused(unreadableText(error));
    if (images.isEmpty())
        return refused(cdWithoutImageText());

    const CdPageTexts texts{request.letterhead, request.exam.patientName, request.exam.examDate};
    CdPreparationOutcome outcome
        = prepareCd(images, texts, request.folders, programCdSources(), converters, progress, pool);
    if (!outcome.prepared)
        return outcome;
    outcome.error = checkStagedCd(request, static_cast<int>(images.size()), outcome.imagesOnCd);
    outcome.prepared = outcome.error.isEmpty();
    return outcome;
}

} // namespace vexa
