// Untrusted files in the three readers (the viewer's loader, the export's
// windowed pixels, the DICOM data view): compressed data whose size is not
// the header's, structures that run away, files that are not files. Each
// gives the right image or a French reason, within a second.
#include "DicomFixtures.h"
#include "HostileFiles.h"
#include "dicom/DicomLoader.h"
#include "dicom/DicomTags.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>

using namespace vexa;

namespace {

class UntrustedFilesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        files = new QTemporaryDir;
        for (const hostile::NamedFile& file : hostile::untrustedFiles())
            ASSERT_TRUE(hostile::writeFile(files->filePath(file.name), file.bytes))
                << file.name.toStdString();
    }
    static void TearDownTestSuite()
    {
        delete files;
        files = nullptr;
    }
    static QString path(const char* name) { return files->filePath(QString::fromLatin1(name)); }

    // Each reader answers within a second; the image readers refuse with
    // `words` (or load the whole image when `words` is empty); the data
    // view shows the elements unless `tagsRefused`.
    static void expectReaders(const QString& file, const QString& words, bool tagsRefused)
    {
        const std::string name = file.toStdString();
        QElapsedTimer timer;
        timer.start();
        const DicomLoadResult loaded = loadDicomImage(file);
        EXPECT_LT(timer.restart(), 1000) << name;
        const DefaultWindowPixels windowed = loadDefaultWindowPixels(file);
        EXPECT_LT(timer.restart(), 1000) << name;
        const QString tags = dicomTagsText(file);
        EXPECT_LT(timer.restart(), 1000) << name;
        if (words.isEmpty()) {
            ASSERT_TRUE(loaded.ok()) << name << " " << loaded.error.toStdString();
            EXPECT_EQ(loaded.image->columns, 64);
            ASSERT_TRUE(windowed.ok()) << name << " " << windowed.error.toStdString();
        } else {
            EXPECT_FALSE(loaded.ok()) << name;
            EXPECT_TRUE(loaded.error.contains(words)) << name << " " << loaded.error.toStdString();
            EXPECT_FALSE(windowed.ok()) << name;
            EXPECT_TRUE(windowed.error.contains(words)) << name << " " << windowed.error.toStdString();
        }
        if (tagsRefused)
            EXPECT_TRUE(tags.contains(words)) << name << " " << tags.left(300).toStdString();
        else
            EXPECT_TRUE(tags.contains(QStringLiteral("(0028,0010) US")))
                << name << " " << tags.left(300).toStdString();
    }

    static inline QTemporaryDir* files = nullptr;
};

// Without the frame-size check the decoder fills the header's frame with the
// pixels of a smaller one: the rest is whatever was in memory.
TEST_F(UntrustedFilesTest, compressedDataOfAnotherSizeIsRefusedWhereverItsSizeLies)
{
    const std::map<const char*, const char*> cases = {
        {"jpeg-baseline-32-in-64.dcm",
            "son en-tête annonce 64 × 64 pixels, ses données compressées en contiennent 32 × 32"},
        {"jpeg-progressive-32-in-64.dcm", "en contiennent 32 × 32"},
        {"jpeg-bands-32-in-64.dcm", "en contiennent 32 × 32"},
        {"jpeg-padded-32-in-64.dcm", "en contiennent 32 × 32"},
        {"jpeg-split-32-in-64.dcm", "en contiennent 32 × 32"},
        {"jpeg-progressive-60000-in-64.dcm", "en contiennent 60000 × 60000"},
        {"jpeg-grey-in-rgb.dcm", "endommagée"},
        {"jpeg-frames-missing.dcm", "endommagée"},
    };
    for (const auto& [name, words] : cases)
        expectReaders(path(name), QString::fromUtf8(words), false);
}

TEST_F(UntrustedFilesTest, soundCompressedFramesLoadWhateverTheirLayout)
{
    for (const char* name : {"jpeg-baseline.dcm", "jpeg-progressive.dcm", "jpeg-rgb-progressive.dcm",
             "jpeg-padded.dcm", "jpeg-split.dcm"}) {
        expectReaders(path(name), {}, false);
        // The pattern's grey at column 10 (JPEG keeps it within a few levels).
        const DicomLoadResult loaded = loadDicomImage(path(name));
        ASSERT_TRUE(loaded.ok());
        EXPECT_NEAR(loaded.image->valueAt(10, 5), loaded.image->monochrome ? 40 : (40 + 90 + 140) / 3.0, 6)
            << name;
    }
}

// The fragments are listed one after the other, not each from the first.
TEST_F(UntrustedFilesTest, aFrameAmongManyFragmentsLoadsQuickly)
{
    QElapsedTimer timer;
    timer.start();
    DicomLoadOptions last;
    last.frame = 11999;
    const DicomLoadResult loaded = loadDicomImage(path("jpeg-12000-frames.dcm"), last);
    ASSERT_TRUE(loaded.ok()) << loaded.error.toStdString();
    EXPECT_EQ(loaded.image->frameCount, 12000);
    EXPECT_TRUE(loadDefaultWindowPixels(path("jpeg-12000-frames.dcm")).ok());
    EXPECT_LT(timer.elapsed(), 1000);
}

TEST_F(UntrustedFilesTest, runawayStructuresAreRefusedBeforeTheyAreRead)
{
    const std::map<const char*, const char*> cases = {
        {"nested-6000.dcm", "imbriquées sur plus de 128 niveaux"},
        {"private-elements-1m.dcm", "plus de 200000 éléments"},
        {"fragments-200000.dcm", "plus de 20000 fragments"},
        {"deflate-bomb.dcm", "la limite est de 64 Mo"},
    };
    for (const auto& [name, words] : cases)
        expectReaders(path(name), QString::fromUtf8(words), true);
    // Nesting real files have loads, and the data view shows every level.
    const QString nested = path("nested-100.dcm");
    EXPECT_TRUE(loadDicomImage(nested).ok());
    EXPECT_EQ(dicomTagsText(nested).count(QStringLiteral("(0040,a730) SQ")), 100);
}

TEST_F(UntrustedFilesTest, aFifoIsNotReadAsAnImage)
{
    const QString fifo = files->filePath(QStringLiteral("fifo.dcm"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Opening it would wait for a writer that never comes.
    expectReaders(fifo, QStringLiteral("Fichier introuvable"), true);
}

TEST_F(UntrustedFilesTest, theDataViewTextStopsAtItsBoundAndSaysSo)
{
    const QString file = fixtures::pydicomFile(QStringLiteral("CT_small.dcm"));
    const QString whole = dicomTagsText(file);
    ASSERT_GT(whole.size(), 4096);
    const QString cut = dicomTagsText(file, 4096);
    EXPECT_TRUE(cut.startsWith(whole.left(1000)));
    EXPECT_LE(cut.toUtf8().size(), 4096 + 100);
    EXPECT_TRUE(cut.endsWith(QStringLiteral("… texte tronqué : il dépasse 4 Ko.\n")))
        << cut.right(100).toStdString();
}

} // namespace
