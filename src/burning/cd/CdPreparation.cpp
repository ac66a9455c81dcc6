#include "CdPreparation.h"

#include "AppError.h"
#include "ImageConverters.h"
#include "FileOperations.h"
#include "ImageFiles.h"
#include "FileFinder.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>
#include <filesystem>

namespace vexa {

namespace {

const QString fileSetId = QStringLiteral("VEXADICOM");

// Removes everything inside `folder` (kept, created when missing). The staged
// files are copies made for this CD, so they are removed for good rather
// than filling the desktop trash at every CD.
void emptyFolder(const QString& folder)
{
    QDir dir(folder);
    dir.mkpath(QStringLiteral("."));
    for (const QFileInfo& entry :
        dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)) {
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.filePath()).removeRecursively();
        else
            QFile::remove(entry.filePath());
    }
}

// A plain copy: the CD folder is scratch space, so no disk flush per file
// (QFile::copy syncs each one, which makes a CD of 254 images crawl).
bool copyReplacing(const QString& from, const QString& to)
{
    std::error_code error;
    return std::filesystem::copy_file(QFile::encodeName(from).toStdString(),
        QFile::encodeName(to).toStdString(), std::filesystem::copy_options::overwrite_existing, error);
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

// Converts on the pool while this thread's event loop keeps the waiting
// window painting; results come back in the order of `jobs`.
QList<Conversion> convertAll(const QList<Job>& jobs, ImageConverters& converters, QThreadPool* pool,
    CdPreparationProgress* progress, int doneBefore, int total)
{
    QFuture<Conversion> future = QtConcurrent::mapped(pool ? pool : QThreadPool::globalInstance(), jobs,
        [&converters](const Job& job) { return convertImage(converters, job.image, job.target); });
    QFutureWatcher<Conversion> watcher;
    QEventLoop loop;
    if (progress)
        QObject::connect(&watcher, &QFutureWatcherBase::progressValueChanged,
            [&](int done) { progress->advance(doneBefore + done, total); });
    QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(future);
    if (!watcher.isFinished())
        loop.exec();
    return future.results();
}

QString workName(int index)
{
    return QStringLiteral("W%1").arg(index, 7, 10, QLatin1Char('0'));
}

// Puts the exam's images on the CD: DICOM files in the export folder's DICOM
// folder, pictures in the CD folder. Returns how many were placed.
int placeImages(const QList<CdImage>& images, const CdWorkFolders& folders, ImageConverters& converters,
    CdPreparationProgress* progress, QThreadPool* pool, QStringList& problems)
{
    QStringList candidates;
    for (const CdImage& image : images) {
        if (!image.notToBurn)
            candidates << image.path;
    }
    const QString dicomFolder = folders.dicomExportDir + QStringLiteral("/DICOM");
    const QString jpgFolder = folders.cdFolder + QStringLiteral("/JPG");
    QDir().mkpath(dicomFolder);
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
                                .arg(QDir::toNativeSeparators(job.image), result.dicomError);
                continue;
            }
            const QString name = CdImageName(++placed);
            QFile::rename(job.target, dicomFolder + u'/' + name);
            if (!result.pictureError.isEmpty()) {
                problems << QStringLiteral("Image gravée sans ses images JPEG, absente de la page : %1 (%2)")
                                .arg(QDir::toNativeSeparators(job.image), result.pictureError);
                continue;
            }
            const QString fullSize = fullSizePicturePath(job.image);
            copyReplacing(previewPicturePath(job.image), jpgFolder + u'/' + name + QStringLiteral(".jpeg"));
            copyReplacing(fullSize, jpgFolder + u'/' + name + QStringLiteral(".jpg"));
            copyReplacing(fullSize, folders.cdFolder + u'/' + name + QStringLiteral(".jpg"));
        }
        next += batchSize;
    }
    for (; next < candidates.size(); ++next)
        problems << QStringLiteral("Image non gravée, un CD en contient %1 au plus : %2")
                        .arg(MaxCdImages)
                        .arg(QDir::toNativeSeparators(candidates[next]));
    if (progress)
        progress->advance(total, total);
    return placed;
}

// The file names of the CD's previews, in the order the page lists them.
QStringList previewNames(const QString& cdFolder)
{
    FileFinder finder;
    const QStringList found = finder.Search(cdFolder + QStringLiteral("/JPG/"), QStringLiteral("*.jpeg"));
    QStringList names;
    for (qsizetype i = 1; i < found.size(); ++i)
        names << FileNameOf(found[i]);
    return names;
}

CdPreparationOutcome prepare(const QList<CdImage>& images, const CdPageTexts& texts,
    const CdWorkFolders& folders, const CdSources& sources, ImageConverters& converters,
    CdPreparationProgress* progress, QThreadPool* pool)
{
    CdPreparationOutcome outcome;
    QString pageTemplate;
    try {
        pageTemplate = ReadWholeFile(sources.pageTemplate);
    } catch (const AppError& error) {
        outcome.error = QStringLiteral("Le modèle de la page du CD est introuvable : %1 (%2)")
                            .arg(QDir::toNativeSeparators(sources.pageTemplate), error.description());
        return outcome;
    }
    QDir().mkpath(folders.cdFolder + QStringLiteral("/JPG"));
    CopyFiles(sources.blankPicture, folders.cdFolder + QStringLiteral("/JPG"), true);

    outcome.imagesOnCd = placeImages(images, folders, converters, progress, pool, outcome.problems);
    if (outcome.imagesOnCd == 0)
        outcome.problems << QStringLiteral("Aucune image n'a pu être mise sur le CD.");
    else {
        const DicomResult dicomDir = converters.makeDicomDir(
            folders.dicomExportDir + QStringLiteral("/DICOMDIR"), fileSetId, folders.dicomExportDir);
        if (!dicomDir.ok)
            outcome.problems << QStringLiteral("Le DICOMDIR n'a pas pu être créé : %1").arg(dicomDir.error);
    }
    MoveFiles(folders.dicomExportDir + QStringLiteral("/*.*"), folders.cdFolder, true);

    QString pagePath = folders.cdFolder + QStringLiteral("/Index.htm");
    if (!WriteWholeFile(BuildCdPage(pageTemplate, texts, previewNames(folders.cdFolder)), pagePath))
        outcome.problems << QStringLiteral("La page Index.htm n'a pas pu être écrite.");
    CopyFiles(sources.cdFolder + QStringLiteral("/*.*"), folders.cdFolder, true);
    outcome.prepared = true;
    return outcome;
}

} // namespace

QString CdImageName(int k)
{
    return QStringLiteral("0%1").arg(k, 7, 10, QLatin1Char('0'));
}

CdSources ProgramCdSources()
{
    return {QStringLiteral(":/burning/Visu.htm"), QStringLiteral(":/burning/Blank.jpg"),
        QStringLiteral(":/burning/CD")};
}

CdPreparationOutcome PrepareCd(const QList<CdImage>& images, const CdPageTexts& texts,
    const CdWorkFolders& folders, const CdSources& sources, ImageConverters& converters,
    CdPreparationProgress* progress, QThreadPool* pool)
{
    if (images.isEmpty())
        return {};
    emptyFolder(folders.cdFolder);
    emptyFolder(folders.dicomExportDir);
    if (progress)
        progress->begin(CdPreparationMessage);
    CdPreparationOutcome outcome = prepare(images, texts, folders, sources, converters, progress, pool);
    if (progress)
        progress->end();
    return outcome;
}

} // namespace vexa
