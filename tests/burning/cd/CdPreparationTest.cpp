#include "burning/cd/CdPreparation.h"
#include "CdFixtures.h"
#include "DicomFixtures.h"
#include "dicom/DicomDirBuilder.h"
#include "pacsdb/ImageFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/mount.h>

using namespace vexa;
using namespace vexa::test;

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing " + path.toUtf8() + ">");
}

// Every file under `folder`, relative, sorted.
QStringList treeOf(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

QString pageOf(const CdFolders& cd)
{
    return QString::fromLatin1(bytesOf(cd.cd("IHE_PDI/INDEX.HTM")));
}

class CountingProgress : public CdPreparationProgress {
public:
    QStringList events;
    void begin(const QString& message) override { events << "begin " + message; }
    void advance(int done, int total) override { lastAdvance = QString("%1 / %2").arg(done).arg(total); }
    void end() override { events << "end"; }
    QString lastAdvance;
};

// A file system of its own, mounted for one test: small enough to fill up,
// or read-only.
class SmallDisk {
public:
    SmallDisk(const QString& folder, const char* options, unsigned long flags)
        : path(QFile::encodeName(folder))
    {
        QDir().mkpath(folder);
        mounted = ::mount("tmpfs", path.constData(), "tmpfs", flags, options) == 0;
    }
    ~SmallDisk()
    {
        if (mounted)
            ::umount(path.constData());
    }
    QByteArray path;
    bool mounted = false;
};

} // namespace

TEST(CdPreparation, threeImagesWithTheSecondLeftOff)
{
    CdFolders cd;
    const QStringList store = writeStoreImages(cd.dir.filePath("store"), 3);
    QDir().mkpath(cd.folders.cdFolder + "/OLD");
    QFile(cd.cd("OLD/stale.jpg")).open(QIODevice::WriteOnly);
    DcmtkImageConverters converters;
    CountingProgress progress;

    const CdPreparationOutcome outcome = prepareCd({{store[0]}, {store[1], true}, {store[2]}},
        {"", "DUPONT^JEAN", "02/01/2024"}, cd.folders, programCdSources(), converters, &progress);

    ASSERT_TRUE(outcome.prepared) << outcome.error.toStdString();
    EXPECT_EQ(outcome.imagesOnCd, 2);
    EXPECT_TRUE(outcome.problems.isEmpty()) << outcome.problems.join("\n").toStdString();
    EXPECT_EQ(progress.events,
        QStringList({"begin Préparation des fichiers pour la gravure. Merci de patienter...", "end"}));
    EXPECT_EQ(progress.lastAdvance, "2 / 2");
    EXPECT_EQ(treeOf(cd.folders.cdFolder),
        QStringList(
            {"DICOM/00000001", "DICOM/00000002", "DICOMDIR", "IHE_PDI/INDEX.HTM", "IHE_PDI/JPG/00000001.JPG",
                "IHE_PDI/JPG/00000002.JPG", "IHE_PDI/JPG/BLANK.JPG", "IHE_PDI/MINI/00000001.JPG",
                "IHE_PDI/MINI/00000002.JPG", "INDEX.HTM", "LISEZMOI.TXT", "README.TXT"}));
    EXPECT_TRUE(treeOf(cd.folders.dicomExportDir).isEmpty());

    // Never exported, the images got their pictures made on the spot; the
    // third image took the second name.
    EXPECT_EQ(bytesOf(cd.cd("IHE_PDI/MINI/00000002.JPG")), bytesOf(previewPicturePath(store[2])));
    EXPECT_EQ(bytesOf(cd.cd("IHE_PDI/JPG/00000002.JPG")), bytesOf(fullSizePicturePath(store[2])));
    EXPECT_EQ(bytesOf(cd.cd("IHE_PDI/JPG/00000001.JPG")), bytesOf(fullSizePicturePath(store[0])));
    EXPECT_FALSE(QFile::exists(previewPicturePath(store[1])));
    EXPECT_EQ(bytesOf(cd.cd("IHE_PDI/JPG/BLANK.JPG")), bytesOf(":/burning/Blank.jpg"));

    const QString page = pageOf(cd);
    EXPECT_TRUE(page.contains("<title>Examen radiologique</title>"));
    EXPECT_TRUE(page.contains("Patient: DUPONT^JEAN"));
    EXPECT_TRUE(
        page.contains("changeImage('JPG/00000001.JPG')\"><img border=\"0\" src=\"MINI/00000001.JPG\""));
    EXPECT_TRUE(page.contains("changeImage('JPG/00000002.JPG')"));
    EXPECT_FALSE(page.contains("<!--Image1 -->"));
    EXPECT_FALSE(page.contains("<!--Image2 -->"));
    EXPECT_TRUE(page.contains("<!--Image3 -->"));

    // The DICOMDIR lists both images, and the outside checker finds no error in it.
    EXPECT_EQ(
        fixtures::dicomDirImageFiles(cd.cd("DICOMDIR")), QStringList({"DICOM/00000001", "DICOM/00000002"}));
    EXPECT_EQ(dciodvfyErrors(cd.cd("DICOMDIR")), QStringList());
}

TEST(CdPreparation, imagesThatFailAreListedAndTheirNamesGoToTheNext)
{
    CdFolders cd;
    const QStringList store = writeStoreImages(cd.dir.filePath("store"), 3);
    FailingConverters converters;
    converters.failDicom = {store[0]};
    converters.failPictures = {store[1]};

    const CdPreparationOutcome outcome = prepareCd({{store[0]}, {store[1]}, {store[2]}},
        {"Cabinet de radiologie", "DUPONT^JEAN", "02/01/2024"}, cd.folders, programCdSources(), converters);

    ASSERT_TRUE(outcome.prepared);
    EXPECT_EQ(outcome.imagesOnCd, 2);
    ASSERT_EQ(outcome.problems.size(), 2);
    EXPECT_TRUE(
        outcome.problems[0].startsWith("Image non gravée, son fichier DICOM n'a pas pu être créé : "));
    EXPECT_TRUE(outcome.problems[0].contains("IMG1.v2 (image illisible)"));
    EXPECT_TRUE(outcome.problems[1].startsWith("Image gravée sans ses images JPEG, absente de la page : "));
    EXPECT_TRUE(outcome.problems[1].contains("IMG2.dcm"));
    // Image 2 is on the CD as DICOM only; image 3 is the page's only picture.
    EXPECT_EQ(
        fixtures::dicomDirImageFiles(cd.cd("DICOMDIR")), QStringList({"DICOM/00000001", "DICOM/00000002"}));
    EXPECT_FALSE(QFile::exists(cd.cd("IHE_PDI/MINI/00000001.JPG")));
    EXPECT_EQ(bytesOf(cd.cd("IHE_PDI/MINI/00000002.JPG")), bytesOf(previewPicturePath(store[2])));
    const QString page = pageOf(cd);
    EXPECT_TRUE(page.contains("<title>Cabinet de radiologie</title>"));
    EXPECT_TRUE(
        page.contains("changeImage('JPG/00000002.JPG')\"><img border=\"0\" src=\"MINI/00000002.JPG\""));
    EXPECT_TRUE(page.contains("<!--Image2 -->"));
}

TEST(CdPreparation, onlyTheFirst254BurnableImagesGoOnTheCd)
{
    CdFolders cd;
    TinyConverters converters;
    QDir().mkpath(cd.dir.filePath("store"));
    QList<CdImage> images;
    for (int i = 1; i <= 256; ++i)
        images.push_back({cd.dir.filePath(QString("store/I%1.v2").arg(i)), i == 3});

    const CdPreparationOutcome outcome = prepareCd(images, {}, cd.folders, programCdSources(), converters);

    EXPECT_EQ(outcome.imagesOnCd, 254);
    EXPECT_EQ(bytesOf(cd.cd("DICOM/00000254")), images[254].path.toUtf8());
    EXPECT_FALSE(QFile::exists(cd.cd("DICOM/00000255")));
    EXPECT_EQ(outcome.problems,
        QStringList{"Image non gravée, un CD en contient 254 au plus : "
            + QDir::toNativeSeparators(images[255].path)});
    const QString page = pageOf(cd);
    EXPECT_TRUE(page.contains("changeImage('JPG/00000254.JPG')"));
    EXPECT_FALSE(page.contains("<!--Image254 -->"));
}

TEST(CdPreparation, anExamWithoutImagesPreparesNothing)
{
    CdFolders cd;
    QDir().mkpath(cd.folders.cdFolder);
    QFile(cd.cd("kept")).open(QIODevice::WriteOnly);
    TinyConverters converters;
    const CdPreparationOutcome outcome = prepareCd({}, {}, cd.folders, programCdSources(), converters);
    EXPECT_FALSE(outcome.prepared);
    EXPECT_TRUE(outcome.error.isEmpty());
    EXPECT_TRUE(QFile::exists(cd.cd("kept")));
}

TEST(CdPreparation, aFullOrReadOnlyDiskIsSaidAndNoCdIsReady)
{
    const struct {
        const char* name;
        const char* options;
        unsigned long flags;
        QString expected; // one line of the error
    } cases[] = {
        {"full", "size=48k", 0, "n'a pas pu être copiée en"},
        {"read-only", "size=1m", MS_RDONLY, "n'a pas pu être vidé."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CdFolders cd;
        const QString disk = cd.dir.filePath("disk");
        SmallDisk mount(disk, c.options, c.flags);
        if (!mount.mounted)
            GTEST_SKIP() << "mounting a tmpfs needs root";
        const CdWorkFolders folders{disk + "/ToBurn.tmp", disk + "/DCM"};
        QDir().mkpath(cd.dir.filePath("store"));
        QList<CdImage> images;
        for (int i = 1; i <= 40; ++i)
            images.push_back({cd.dir.filePath(QString("store/I%1.v2").arg(i))});
        TinyConverters converters;

        const CdPreparationOutcome outcome
            = prepareCd(images, {"", "DUPONT^JEAN", "02/01/2024"}, folders, programCdSources(), converters);

        EXPECT_FALSE(outcome.prepared);
        EXPECT_TRUE(outcome.error.startsWith("Le CD n'a pas pu être préparé :\n"))
            << outcome.error.toStdString();
        EXPECT_TRUE(outcome.error.contains(c.expected)) << outcome.error.toStdString();
        if (c.flags == 0) {
            EXPECT_TRUE(outcome.error.contains("(disque plein)")) << outcome.error.toStdString();
        }
        EXPECT_LE(outcome.error.count('\n'), 13) << "the failures beyond twelve are counted, not listed";
    }
}
