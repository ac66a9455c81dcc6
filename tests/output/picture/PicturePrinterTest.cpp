// The picture printer writing real pages: with no printer installed it makes
// a PDF, read back with poppler to see what was drawn.
#include "output/picture/PicturePrinter.h"
#include "ScriptedDialogService.h"
#include "base/core/DialogService.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vexa;

namespace {

struct PdfImage {
    int width = 0, height = 0, xPpi = 0;
};

// The images of a PDF as `pdfimages -list` reports them.
std::vector<PdfImage> imagesOf(const QString& pdf)
{
    QProcess lister;
    lister.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    lister.waitForFinished(30000);
    std::vector<PdfImage> found;
    const QStringList lines = QString::fromUtf8(lister.readAllStandardOutput()).split(QLatin1Char('\n'));
    for (const QString& line : lines.mid(2)) {
        const QStringList fields = line.simplified().split(QLatin1Char(' '));
        if (fields.size() > 12 && fields[2] == QLatin1String("image"))
            found.push_back({fields[3].toInt(), fields[4].toInt(), fields[12].toInt()});
    }
    return found;
}

} // namespace

TEST(PicturePrinter, CaptionLinesAndLayout)
{
    EXPECT_EQ(PicturePrinter::captionLines(QStringLiteral("A|B|")), QStringList({"A", "B", ""}));
    EXPECT_EQ(PicturePrinter::captionLines(QStringLiteral("Seule")), QStringList({"Seule", ""}));
    EXPECT_EQ(PicturePrinter::layoutFor(QSizeF(200, 200)), 2);
    EXPECT_EQ(PicturePrinter::layoutFor(QSizeF(200, 300)), 2);
    EXPECT_EQ(PicturePrinter::layoutFor(QSizeF(301, 300)), 4);
}

TEST(PicturePrinter, WithoutPrinterWritesAPdfWithThePictureRenderedAtPageResolution)
{
    ScriptedDialogService dialogs;
    QTemporaryDir folder;
    PicturePrinter printer;
    printer.setInstalledPrinters(QStringList());
    printer.setPdfFolder(folder.path());
    QImage screen(200, 250, QImage::Format_RGB32);
    screen.fill(Qt::gray);
    QSize asked;
    printer.setLayout(PicturePrinter::layoutFor(screen.size()));
    printer.setPicture(screen, [&asked](QSize size) {
        asked = size;
        QImage full(size, QImage::Format_RGB32);
        full.fill(Qt::darkGray);
        return full;
    });
    printer.setCaption(QStringLiteral("Cabinet|Patient: DUPONT|"));
    printer.setPrinterName(QStringLiteral("ImagePrinter"));
    const PrintOutcome outcome = printer.printPage();

    ASSERT_TRUE(outcome.printed);
    EXPECT_TRUE(outcome.destination.isPdf());
    EXPECT_TRUE(QFileInfo::exists(outcome.destination.pdfPath));
    EXPECT_EQ(outcome.resolution, PicturePrinter::PdfResolution);
    EXPECT_EQ(asked, outcome.picturePixels);
    EXPECT_GT(outcome.picturePixels.height(), 8 * screen.height()) << "not an enlarged screen copy";
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QDir::toNativeSeparators(outcome.destination.pdfPath)));

    const auto drawn = imagesOf(outcome.destination.pdfPath);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].width, outcome.picturePixels.width());
    EXPECT_EQ(drawn[0].height, outcome.picturePixels.height());
    EXPECT_EQ(drawn[0].xPpi, PicturePrinter::PdfResolution);
}

TEST(PicturePrinter, JobGoesToTheNamedPrinterElseTheSystemDefaultElseAPdf)
{
    const QStringList installed{
        QStringLiteral("Etiquettes"), QStringLiteral("Radio"), QStringLiteral("Bureau")};
    struct Case {
        const char* wanted;
        QStringList installed;
        const char* systemDefault;
        const char* expected; // "" for a PDF
    } const cases[] = {
        {"Radio", installed, "Bureau", "Radio"},
        {"radio", installed, "Bureau", "Bureau"}, // letter case counts
        {"Absente", installed, "Bureau", "Bureau"},
        {"Absente", installed, "", ""}, // never the first queue of the list
        {"Absente", installed, "Ancienne", ""}, // a default no longer installed
        {"Radio", {}, "Radio", ""},
    };
    for (const Case& c : cases) {
        const PrintDestination destination = choosePrintDestination(QString::fromUtf8(c.wanted), c.installed,
            QString::fromUtf8(c.systemDefault), QStringLiteral("/tmp"), QStringLiteral("x"));
        EXPECT_EQ(destination.printerName, QString::fromUtf8(c.expected))
            << c.wanted << " / " << c.systemDefault;
        EXPECT_EQ(destination.isPdf(), destination.pdfPath.startsWith(QStringLiteral("/tmp/x ")));
    }
}
