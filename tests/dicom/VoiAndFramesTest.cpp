// The file's VOI (windows, their function, VOI LUTs) drawn as DCMTK's own
// renderer draws them, and frames read one at a time.
#include "DicomFixtures.h"
#include "dicom/DicomLoader.h"
#include "dicom/DisplayLut.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vexa;
using vexa::fixtures::greyImage;
using vexa::fixtures::runDcmtkTool;

namespace {

int sample(int c, int r)
{
    return c * 250 + r * 37; // 0 .. 3984 over 16 x 8
}

// DCMTK's rendering of a file as 8-bit grey pixels (dcm2pnm, binary PGM).
std::vector<std::uint8_t> renderedByDcmtk(const QString& path, const QStringList& options)
{
    const QString pgm = path + QStringLiteral(".pgm");
    if (!runDcmtkTool(QStringLiteral("dcm2pnm"), QStringList(options) << path << pgm))
        return {};
    QFile file(pgm);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    // "P5\n<w> <h>\n255\n" then the pixels.
    qsizetype at = 0;
    for (int lines = 0; lines < 3 && at >= 0; ++lines)
        at = bytes.indexOf('\n', at) + 1;
    return {bytes.begin() + at, bytes.end()};
}

void expectSamePixels(const std::vector<std::uint8_t>& ours, const std::vector<std::uint8_t>& dcmtk)
{
    ASSERT_EQ(ours.size(), dcmtk.size());
    for (std::size_t i = 0; i < ours.size(); ++i)
        ASSERT_NEAR(ours[i], dcmtk[i], 1) << "pixel " << i;
}

// A 4096-entry table that squares its input: 16-bit entries as OW words.
QString squaringLut()
{
    QStringList words;
    for (int i = 0; i < 4096; ++i)
        words << QString::number((i * i) >> 8, 16).rightJustified(4, '0');
    return words.join('\\');
}

class VoiTest : public ::testing::Test {
protected:
    QTemporaryDir dir_;

    QString write(const QStringList& elements, const char* name, std::optional<double> center = {},
        std::optional<double> width = {})
    {
        NewDicomImage image = greyImage(16, 8, 12, false, sample);
        image.windowCenter = center;
        image.windowWidth = width;
        image.moreElements = elements;
        const QString path = dir_.filePath(name);
        EXPECT_TRUE(writeDicomImage(image, path, DicomFileLayout::WithMetaHeader).ok);
        return path;
    }
};

TEST_F(VoiTest, aVoiLutAloneIsTheDefaultAndDrawsAsDcmtkDrawsIt)
{
    const QString path = write({QStringLiteral("(0028,3010)[0].(0028,3002)=4096\\0\\16"),
                                   QStringLiteral("(0028,3010)[0].(0028,3006)=") + squaringLut(),
                                   QStringLiteral("(0028,3010)[0].(0028,3003)=CARRE")},
        "lut.dcm");
    const DicomLoadResult loaded = loadDicomImage(path);
    ASSERT_TRUE(loaded.ok()) << loaded.error.toStdString();
    const DicomImageData& image = *loaded.image;
    ASSERT_EQ(image.voiLuts.size(), 1u);
    EXPECT_EQ(image.defaultWindow.lutIndex, 0);
    EXPECT_EQ(image.defaultWindow.explanation, QStringLiteral("CARRE"));
    const std::vector<std::uint8_t> ours = renderPixels8(image, image.defaultWindow);
    expectSamePixels(ours, renderedByDcmtk(path, {QStringLiteral("+Wl"), QStringLiteral("1")}));
    // Not the pixel range: the table bends the ramp.
    EXPECT_NE(ours, renderPixels8(image, {(0 + 3984 + 1) / 2.0, 3985.0}));
    // The pictures take the same table.
    const DefaultWindowPixels windowed = loadDefaultWindowPixels(path);
    ASSERT_TRUE(windowed.ok());
    EXPECT_EQ(windowed.pixels.bytes, ours);
}

TEST_F(VoiTest, sigmoidFunctionDrawsAsDcmtkDrawsIt)
{
    const QString path = write({QStringLiteral("(0028,1056)=SIGMOID")}, "sigmoid.dcm", 2000, 1500);
    const DicomLoadResult loaded = loadDicomImage(path);
    ASSERT_TRUE(loaded.ok()) << loaded.error.toStdString();
    const DicomImageData& image = *loaded.image;
    EXPECT_EQ(image.defaultWindow.function, VoiFunction::Sigmoid);
    const std::vector<std::uint8_t> ours = renderPixels8(image, image.defaultWindow);
    expectSamePixels(
        ours, renderedByDcmtk(path, {QStringLiteral("+Wi"), QStringLiteral("1"), QStringLiteral("+Wfs")}));
    const DefaultWindowPixels windowed = loadDefaultWindowPixels(path);
    ASSERT_TRUE(windowed.ok());
    EXPECT_EQ(windowed.pixels.bytes, ours);
}

TEST_F(VoiTest, everyWindowAndLutOfTheFileIsListedInOrderToCycleThrough)
{
    const QString path
        = write({QStringLiteral("(0028,1050)=2000\\500"), QStringLiteral("(0028,1051)=1500\\300"),
                    QStringLiteral("(0028,1055)=OS\\PARTIES MOLLES"),
                    QStringLiteral("(0028,3010)[0].(0028,3002)=4096\\0\\16"),
                    QStringLiteral("(0028,3010)[0].(0028,3006)=") + squaringLut()},
            "all.dcm");
    const DicomLoadResult loaded = loadDicomImage(path);
    ASSERT_TRUE(loaded.ok()) << loaded.error.toStdString();
    const std::vector<VoiWindow>& windows = loaded.image->fileWindows;
    ASSERT_EQ(windows.size(), 3u);
    EXPECT_DOUBLE_EQ(windows[0].center, 2000);
    EXPECT_EQ(windows[0].explanation, QStringLiteral("OS"));
    EXPECT_DOUBLE_EQ(windows[1].width, 300);
    EXPECT_EQ(windows[1].explanation, QStringLiteral("PARTIES MOLLES"));
    EXPECT_EQ(windows[2].lutIndex, 0);
    // The first window is shown first; the second draws as DCMTK's second.
    EXPECT_EQ(loaded.image->defaultWindow.lutIndex, -1);
    EXPECT_DOUBLE_EQ(loaded.image->defaultWindow.center, 2000);
    expectSamePixels(renderPixels8(*loaded.image, windows[1]),
        renderedByDcmtk(path, {QStringLiteral("+Wi"), QStringLiteral("2")}));
}

TEST(DicomFrames, onlyTheRequestedFrameIsReadAndTheCountIsGiven)
{
    QTemporaryDir dir;
    NewDicomImage source = greyImage(6, 4, 8, false, [](int c, int r) { return c + r * 6; });
    // Frame f holds 100 * f + its first frame's values.
    for (int frame = 1; frame < 3; ++frame)
        for (int i = 0; i < 24; ++i)
            source.pixelData.append(static_cast<char>(100 * frame + i));
    source.frames = 3;
    const QString raw = dir.filePath("frames.v2");
    ASSERT_TRUE(writeDicomImage(source, raw, DicomFileLayout::BareImplicitLittle).ok);
    const QString rle = dir.filePath("frames_rle.dcm");
    ASSERT_TRUE(runDcmtkTool(QStringLiteral("dcmcrle"), {QStringLiteral("-f"), raw, rle}));
    for (const QString& path : {raw, rle}) {
        for (int frame = 0; frame < 3; ++frame) {
            DicomLoadOptions options;
            options.frame = frame;
            const DicomLoadResult loaded = loadDicomImage(path, options);
            ASSERT_TRUE(loaded.ok()) << loaded.error.toStdString();
            EXPECT_EQ(loaded.image->frameCount, 3);
            EXPECT_EQ(loaded.image->frameIndex, frame);
            for (int r = 0; r < 4; ++r)
                for (int c = 0; c < 6; ++c)
                    ASSERT_EQ(loaded.image->valueAt(c, r), 100 * frame + c + r * 6) << path.toStdString();
        }
        DicomLoadOptions past;
        past.frame = 3;
        const DicomLoadResult refused = loadDicomImage(path, past);
        ASSERT_FALSE(refused.ok());
        EXPECT_EQ(refused.error, QStringLiteral("L'image 4 n'existe pas : ce fichier en contient 3."));
    }
}

} // namespace
