#include "burning/cd/CdPreparation.h"

#include "base/core/AppError.h"
#include "base/core/WorkPool.h"
#include "burning/export/ImageConverters.h"
#include "files/FileFinder.h"
#include "files/FileOperations.h"
#include "pacsdb/ImageFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>
#include <filesystem>
#include <mutex>

namespace vexa {

namespace {

const QString fileSetId = QStringLiteral("VEXADICOM");

// A message box stays readable: the failures beyond this many are counted.
constexpr int shownFailures = 12;

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

// The staged files are copies made for this CD, so they are removed for good
// rather than filling the desktop trash at every CD.
bool emptyCdWorkFolder(const QString& folder)
{
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral(".")))
        return false;
    bool emptied = true;
    for (const QFileInfo& entry :
        dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)) {
        if (entry.isDir() && !entry.isSymLink())
            emptied = QDir(entry.filePath()).removeRecursively() && emptied;
        else
            emptied = QFile::remove(entry.filePath()) && emptied;
    }
    return emptied;
}

namespace {

// Why a file operation failed, in the user's words.
QString reasonOf(const std::error_code& error)
{
    if (error == std::errc::no_space_on_device)
        return QStringLiteral("disque plein");
    if (error == std::errc::permission_denied || error == std::errc::read_only_file_system)
        return QStringLiteral("écriture refusée");
    return QStringLiteral("erreur d'écriture");
}

// A plain copy: the CD folder is scratch space, so no disk flush per file
// (QFile::copy syncs each one, which makes a CD of 254 images crawl).
// "" or why the copy failed.
QString copyReplacing(const QString& from, const QString& to)
{
    std::error_code error;
    std::filesystem::copy_file(QFile::encodeName(from).toStdString(), QFile::encodeName(to).toStdString(),
        std::filesystem::copy_options::overwrite_existing, error);
    return error ? reasonOf(error) : QString();
}

struct Conversion {
    QString dicomError; // "" when the DICOM file was made
    QString pictureError; // "" when both pictures exist
};

// One image: its DICOM file at `target`, then its two pictures beside the
// stored image when either is missing (an image never exported).
Conversion convertImage(ImageConverters& converters, const QString& image, const QString& target)
{
    Conversion outcome;
    const DicomResult dicom = converters.makeStandardDicomFile(image, target);
    if (!dicom.ok || !QFileInfo(target).isFile()) {
        QFile::remove(target);
        outcome.dicomError = dicom.ok ? QStringLiteral("aucun fichier produit") : dicom.error;
        return outcome;
    }
    const QString preview = previewPicturePath(image);
    const QString fullSize = fullSizePicturePath(image);
    if (!QFileInfo(preview).isFile() || !QFileInfo(fullSize).isFile()) {
        const DicomResult madePreview = converters.makePreviewPicture(image);
        const DicomResult madeFullSize = converters.makeFullSizePicture(image);
        if (!madePreview.ok)
            outcome.pictureError = madePreview.error;
        else if (!madeFullSize.ok)
            outcome.pictureError = madeFullSize.error;
    }
    if (outcome.pictureError.isEmpty() && (!QFileInfo(preview).isFile() || !QFileInfo(fullSize).isFile()))
        outcome.pictureError = QStringLiteral("images JPEG absentes");
    return outcome;
}

struct Job {
    QString image;
    QString target;
};

// Converts on the pool and waits; results come back in the order of `jobs`.
// Progress is told as each image ends, from the converting threads, one at a
// time. Waiting lends this thread's place in the pool to the conversions, in
// case this thread is itself one of the pool's.
QList<Conversion> convertAll(const QList<Job>& jobs, ImageConverters& converters, QThreadPool* pool,
    CdPreparationProgress* progress, int doneBefore, int total)
{
    QThreadPool* threads = pool ? pool : &workPool();
    std::mutex progressLock;
    int done = doneBefore;
    QFuture<Conversion> future = QtConcurrent::mapped(threads, jobs, [&](const Job& job) {
        Conversion result = convertImage(converters, job.image, job.target);
        const std::lock_guard<std::mutex> lock(progressLock);
        if (progress)
            progress->advance(++done, total);
        return result;
    });
    threads->releaseThread();
    future.waitForFinished();
    threads->reserveThread();
    return future.results();
}

QString workName(int index)
{
    return QStringLiteral("W%1").arg(index, 7, 10, QLatin1Char('0'));
}

// What went wrong while staging: images left off (the user may still burn)
// and failed file steps (no CD then).
// The web content's folders in the CD folder.
QString webFolder(const CdWorkFolders& folders)
{
    return folders.cdFolder + u'/' + CdWebFolder;
}

QString pictureFolder(const CdWorkFolders& folders)
{
    return webFolder(folders) + u'/' + CdPictureFolder;
}

QString thumbnailFolder(const CdWorkFolders& folders)
{
    return webFolder(folders) + u'/' + CdThumbnailFolder;
}

struct Staging {
    QStringList problems;
    QStringList failures;

    void copy(const QString& from, const QString& to)
    {
        const QString reason = copyReplacing(from, to);
        if (!reason.isEmpty())
            failures << QStringLiteral("L'image %1 n'a pas pu être copiée en %2 (%3).")
                            .arg(native(from), native(to), reason);
    }
};

// The page's empty picture, a resource of the program by default.
void copyBlankPicture(const QString& from, const QString& to, Staging& staging)
{
    QFile::remove(to);
    if (!QFile::copy(from, to))
        staging.failures << QStringLiteral("L'image vide %1 n'a pas pu être copiée en %2.")
                                .arg(fileNameOf(from), native(to));
    else // a resource's copy is read-only
        QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::WriteOwner);
}

// Puts the exam's images on the CD: DICOM files in the export folder's DICOM
// folder, pictures in the web folder. Returns how many were placed.
int placeImages(const QList<CdImage>& images, const CdWorkFolders& folders, ImageConverters& converters,
    CdPreparationProgress* progress, QThreadPool* pool, Staging& staging)
{
    QStringList& problems = staging.problems;
    QStringList candidates;
    for (const CdImage& image : images) {
        if (!image.notToBurn)
            candidates << image.path;
    }
    const QString dicomFolder = folders.dicomExportDir + QStringLiteral("/DICOM");
    if (!QDir().mkpath(dicomFolder)) {
        staging.failures << QStringLiteral("Le dossier %1 n'a pas pu être créé.").arg(native(dicomFolder));
        return 0;
    }
    const int total = std::min<int>(static_cast<int>(candidates.size()), MaxCdImages);
    if (progress)
        progress->advance(0, total);
    int placed = 0;
    int next = 0;
    // Batches as large as the names still free, so that an image that fails
    // leaves its name to the next one and no more than 254 are converted.
    while (placed < MaxCdImages && next < candidates.size()) {
        const int batchSize = std::min<int>(MaxCdImages - placed, static_cast<int>(candidates.size()) - next);
        QList<Job> jobs;
        for (int i = 0; i < batchSize; ++i)
            jobs.push_back({candidates[next + i], dicomFolder + u'/' + workName(next + i)});
        const QList<Conversion> results = convertAll(jobs, converters, pool, progress, placed, total);
        for (int i = 0; i < batchSize; ++i) {
            const Job& job = jobs[i];
            const Conversion& result = results.value(i);
            if (!result.dicomError.isEmpty()) {
                problems << QStringLiteral(
                    "Image non gravée, son fichier DICOM n'a pas pu être créé : %1 (%2)")
                                .arg(native(job.image), result.dicomError);
                continue;
            }
            const QString name = cdImageName(++placed);
            const QString dicomFile = dicomFolder + u'/' + name;
            if (!QFile::rename(job.target, dicomFile))
                staging.failures << QStringLiteral("Le fichier DICOM %1 n'a pas pu être renommé en %2.")
                                        .arg(native(job.target), native(dicomFile));
            if (!result.pictureError.isEmpty()) {
                problems << QStringLiteral("Image gravée sans ses images JPEG, absente de la page : %1 (%2)")
                                .arg(native(job.image), result.pictureError);
                continue;
            }
            const QString picture = name + CdPictureExtension;
            staging.copy(previewPicturePath(job.image), thumbnailFolder(folders) + u'/' + picture);
            staging.copy(fullSizePicturePath(job.image), pictureFolder(folders) + u'/' + picture);
        }
        next += batchSize;
    }
    for (; next < candidates.size(); ++next)
        problems << QStringLiteral("Image non gravée, un CD en contient %1 au plus : %2")
                        .arg(MaxCdImages)
                        .arg(native(candidates[next]));
    if (progress)
        progress->advance(total, total);
    return placed;
}

// The file names of the CD's pictures, in the order the page lists them.
QStringList pictureNames(const CdWorkFolders& folders)
{
    FileFinder finder;
    const QStringList found = finder.search(thumbnailFolder(folders), u'*' + CdPictureExtension);
    QStringList names;
    for (qsizetype i = 1; i < found.size(); ++i)
        names << fileNameOf(found[i]);
    return names;
}

// Moves what the export folder made (`name`, a file or a folder) into the CD folder.
void moveIntoCd(const QString& name, const CdWorkFolders& folders, Staging& staging)
{
    const QString from = folders.dicomExportDir + u'/' + name;
    if (!moveFiles(from, folders.cdFolder, true))
        staging.failures << QStringLiteral("%1 n'a pas pu être déplacé dans %2.")
                                .arg(native(from), native(folders.cdFolder));
}

// The failed steps as one French text, the first ones listed.
QString failureText(const QStringList& failures)
{
    QString text = QStringLiteral("Le CD n'a pas pu être préparé :");
    for (const QString& failure : failures.mid(0, shownFailures))
        text += u'\n' + failure;
    if (failures.size() > shownFailures)
        text += QStringLiteral("\n(et %1 autres échecs)").arg(failures.size() - shownFailures);
    return text;
}

void stage(const QList<CdImage>& images, const CdPageTexts& texts, const QString& pageTemplate,
    const CdWorkFolders& folders, const CdSources& sources, ImageConverters& converters,
    CdPreparationProgress* progress, QThreadPool* pool, Staging& staging, int& imagesOnCd)
{
    if (!QDir().mkpath(pictureFolder(folders)) || !QDir().mkpath(thumbnailFolder(folders)))
        staging.failures
            << QStringLiteral("Le dossier %1 n'a pas pu être créé.").arg(native(webFolder(folders)));
    else
        copyBlankPicture(sources.blankPicture, pictureFolder(folders) + u'/' + CdBlankPictureName, staging);

    imagesOnCd = placeImages(images, folders, converters, progress, pool, staging);
    if (imagesOnCd == 0)
        staging.failures << QStringLiteral("Aucune image n'a pu être mise sur le CD.");
    else {
        const DicomResult dicomDir = converters.makeDicomDir(
            folders.dicomExportDir + QStringLiteral("/DICOMDIR"), fileSetId, folders.dicomExportDir);
        if (!dicomDir.ok)
            staging.problems << QStringLiteral("Le DICOMDIR n'a pas pu être créé : %1").arg(dicomDir.error);
        else
            moveIntoCd(QStringLiteral("DICOMDIR"), folders, staging);
        moveIntoCd(QStringLiteral("DICOM"), folders, staging);
    }

    const QString pagePath = webFolder(folders) + u'/' + CdPageName;
    const QString pageError
        = tryWriteWholeFile(buildCdPage(pageTemplate, texts, pictureNames(folders)), pagePath);
    if (!pageError.isEmpty())
        staging.failures
            << QStringLiteral("La page %1 n'a pas pu être écrite : %2").arg(native(pagePath), pageError);
    if (!copyFiles(sources.cdFolder + QStringLiteral("/*.*"), folders.cdFolder, true))
        staging.failures << QStringLiteral(
            "Les fichiers du programme pour le CD n'ont pas pu être copiés dans %1.")
                                .arg(native(folders.cdFolder));
}

CdPreparationOutcome prepare(const QList<CdImage>& images, const CdPageTexts& texts,
    const CdWorkFolders& folders, const CdSources& sources, ImageConverters& converters,
    CdPreparationProgress* progress, QThreadPool* pool)
{
    CdPreparationOutcome outcome;
    QString pageTemplate;
    try {
        pageTemplate = readWholeFile(sources.pageTemplate);
    } catch (const AppError& error) {
        outcome.error = QStringLiteral("Le modèle de la page du CD est introuvable : %1 (%2)")
                            .arg(native(sources.pageTemplate), error.description());
        return outcome;
    }
    Staging staging;
    for (const QString& folder : {folders.cdFolder, folders.dicomExportDir}) {
        if (!emptyCdWorkFolder(folder))
            staging.failures << QStringLiteral("Le dossier %1 n'a pas pu être vidé.").arg(native(folder));
    }
    if (staging.failures.isEmpty())
        stage(images, texts, pageTemplate, folders, sources, converters, progress, pool, staging,
            outcome.imagesOnCd);
    outcome.problems = staging.problems;
    if (!staging.failures.isEmpty())
        outcome.error = failureText(staging.failures);
    outcome.prepared = outcome.error.isEmpty();
    return outcome;
}

} // namespace

QString cdImageName(int k)
{
    return QStringLiteral("0%1").arg(k, 7, 10, QLatin1Char('0'));
}

CdSources programCdSources()
{
    return {QStringLiteral(":/burning/Visu.htm"), QStringLiteral(":/burning/Blank.jpg"),
        QStringLiteral(":/burning/CD")};
}

CdPreparationOutcome prepareCd(const QList<CdImage>& images, const CdPageTexts& texts,
    const CdWorkFolders& folders, const CdSources& sources, ImageConverters& converters,
    CdPreparationProgress* progress, QThreadPool* pool)
{
    if (images.isEmpty())
        return {};
    if (progress)
        progress->begin(CdPreparationMessage);
    CdPreparationOutcome outcome = prepare(images, texts, folders, sources, converters, progress, pool);
    if (progress)
        progress->end();
    return outcome;
}

} // namespace vexa
