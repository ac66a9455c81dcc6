// Real DICOM files from outside the project: each one decodes or fails with a
// reason; none crashes or hangs.
#include "DicomFixtures.h"
#include "dicom/DicomLoader.h"
#include "dicom/DicomTags.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace vexa;

namespace {

TEST(PydicomCorpus, everyFileDisplaysOrFailsCleanly)
{
    const QDir corpus(fixtures::pydicomFile({}));
    // The set-up script installs python3-pydicom: a missing corpus is a failure, not a skip.
    ASSERT_TRUE(corpus.exists()) << "python3-pydicom's test files are missing";
    int decoded = 0, refused = 0;
    for (const QString& name : corpus.entryList(QDir::Files)) {
        const DicomLoadResult loaded = loadDicomImage(corpus.filePath(name));
        if (loaded.ok()) {
            const DicomImageData& image = *loaded.image;
            ASSERT_GT(image.columns * image.rows, 0) << name.toStdString();
            const std::size_t expected = static_cast<std::size_t>(image.columns) * image.rows;
            ASSERT_EQ(image.monochrome ? image.values.size() : image.rgb.size() / 3, expected)
                << name.toStdString();
            ++decoded;
        } else {
            ASSERT_FALSE(loaded.error.isEmpty()) << name.toStdString();
            ++refused;
        }
        EXPECT_FALSE(dicomTagsText(corpus.filePath(name)).isEmpty());
    }
    EXPECT_GE(decoded, 40);
    EXPECT_GE(refused, 10); // reports, plans, JPEG 2000, text files...
}

TEST(PydicomCorpus, decodesEachRegisteredCompressionAndRefusesJpeg2000)
{
    struct Case {
        const char* file;
        bool decodes;
    };
    const Case cases[] = {
        {"MR_small_RLE.dcm", true},
        {"MR_small_jpeg_ls_lossless.dcm", true},
        {"SC_rgb_jpeg_dcmtk.dcm", true},
        {"JPEG-lossy.dcm", true},
        {"MR_small_implicit.dcm", true},
        {"MR_small_bigendian.dcm", true},
        {"MR_small_jp2klossless.dcm", false},
        {"JPEG2000.dcm", false},
        {"MR_truncated.dcm", false},
    };
    for (const Case& c : cases) {
        const QString path = fixtures::pydicomFile(c.file);
        if (!QFile::exists(path))
            continue;
        EXPECT_EQ(loadDicomImage(path).ok(), c.decodes) << c.file;
    }
    // Same pixels whether stored raw or RLE compressed.
    const auto raw = loadDicomImage(fixtures::pydicomFile("MR_small.dcm"));
    const auto rle = loadDicomImage(fixtures::pydicomFile("MR_small_RLE.dcm"));
    if (raw.ok() && rle.ok()) {
        EXPECT_EQ(raw.image->values, rle.image->values);
    }
}

} // namespace

namespace {

QString charsetFile(const char* name)
{
    return QStringLiteral("/usr/lib/python3/dist-packages/pydicom/data/charset_files/") + QLatin1String(name);
}

QString patientNameLine(const QString& tags)
{
    for (const QString& line : tags.split('\n'))
        if (line.startsWith(QStringLiteral("(0010,0010)")))
            return line;
    return {};
}

} // namespace

// Names in character sets DCMTK converts read as they are written; in sets it
// cannot convert (ISO 2022 IR 87 here) each character becomes "?", the rest of
// the dump keeps its accents, and no escape sequence or raw byte shows.
TEST(DicomTagsText, convertsWhatItCanAndShowsQuestionMarksForTheRest)
{
    const struct {
        const char* file;
        const char* name;
    } cases[] = {
        {"chrX1.dcm", "[Wang^XiaoDong=王^小東=]"},
        {"chrI2.dcm", "[Hong^Gildong=洪^吉洞=홍^길동]"},
        {"chrFren.dcm", "[Buc^Jérôme]"},
        {"chrH31.dcm", "[Yamada^Tarou=?\?^?\?=???^???]"},
        {"chrJapMulti.dcm", "[???^???]"},
        {"chrH32.dcm", "[ﾔﾏﾀﾞ^ﾀﾛｳ=?\?^?\?=???^???]"},
    };
    for (const auto& c : cases) {
        const QString tags = dicomTagsText(charsetFile(c.file));
        EXPECT_TRUE(patientNameLine(tags).contains(QString::fromUtf8(c.name)))
            << c.file << ": " << patientNameLine(tags).toStdString();
        EXPECT_FALSE(tags.contains(QChar(0x1B))) << c.file;
        EXPECT_FALSE(tags.contains(QChar::ReplacementCharacter)) << c.file;
    }
    // A sequence item with a character set of its own is converted with it.
    const QString nested = dicomTagsText(charsetFile("chrSQEncoding.dcm"));
    EXPECT_FALSE(nested.contains(QChar(0x1B)));
    EXPECT_TRUE(nested.contains(QStringLiteral("??"))) << nested.toStdString();
}
