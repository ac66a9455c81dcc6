// The picture printer on a real installed printer: the private CUPS
// scheduler's cups-pdf queue "VexaPDF". The page it prints comes back as a PDF
// in VEXA_PDF_OUT and is read with poppler.
#include "ScriptedDialogService.h"
#include "base/core/CurrentPrinter.h"
#include "base/core/DialogService.h"
#include "output/picture/PicturePrinter.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QPrinterInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

using namespace vexa;

namespace {

const QString Queue = QStringLiteral("VexaPDF");

struct PdfImage {
    int width = 0, height = 0, xPpi = 0, yPpi = 0;
};

// The images of a PDF as `pdfimages -list` reports them; nullopt when poppler
// cannot read the file (yet).
std::optional<std::vector<PdfImage>> imagesOf(const QString& pdf)
{
    QProcess lister;
    lister.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    if (!lister.waitForFinished(30000) || lister.exitCode() != 0)
        return std::nullopt;
    std::vector<PdfImage> found;
    const QStringList lines = QString::fromUtf8(lister.readAllStandardOutput()).split(QLatin1Char('\n'));
    for (const QString& line : lines.mid(2)) {
        const QStringList fields = line.simplified().split(QLatin1Char(' '));
        if (fields.size() > 13 && fields[2] == QLatin1String("image"))
            found.push_back({fields[3].toInt(), fields[4].toInt(), fields[12].toInt(), fields[13].toInt()});
    }
    return found;
}

// The queue's own resolution, dots per inch, from the "*DefaultResolution"
// line of the PPD the test scheduler keeps for it (conf/ppd beside run/,
// where its socket CUPS_SERVER lies); 0 if unknown.
int queueResolution(const QString& queue)
{
    QDir state = QFileInfo(qEnvironmentVariable("CUPS_SERVER")).dir();
    state.cdUp();
    QFile ppd(state.filePath(QStringLiteral("conf/ppd/%1.ppd").arg(queue)));
    if (!ppd.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    while (!ppd.atEnd()) {
        const QString line = QString::fromLatin1(ppd.readLine()).trimmed();
        if (line.startsWith(QStringLiteral("*DefaultResolution:")))
            return line.section(QLatin1Char(':'), 1).trimmed().remove(QStringLiteral("dpi")).toInt();
    }
    return 0;
}

// The PDFs of a folder and when each was last written. Job numbers start
// again with each scheduler, so cups-pdf may write a new page under an old name.
using PdfStamps = QHash<QString, QDateTime>;

PdfStamps pdfsIn(const QDir& folder)
{
    PdfStamps stamps;
    for (const QFileInfo& file : folder.entryInfoList({QStringLiteral("*.pdf")}, QDir::Files))
        stamps.insert(file.absoluteFilePath(), file.lastModified());
    return stamps;
}

// cups-pdf writes job_<n>-<title>.pdf some time after the job is queued.
// Waits (up to 15 s) for PDFs written since `before` that poppler can read,
// and answers them.
QStringList newReadablePdfs(const QDir& folder, const PdfStamps& before)
{
    const QDeadlineTimer deadline(15000);
    QStringList ready;
    while (ready.isEmpty() && !deadline.hasExpired()) {
        QThread::msleep(200);
        const PdfStamps now = pdfsIn(folder);
        for (auto file = now.begin(); file != now.end(); ++file) {
            if (before.value(file.key()) == file.value())
                continue;
            const qint64 size = QFileInfo(file.key()).size();
            QThread::msleep(100);
            if (size > 0 && size == QFileInfo(file.key()).size() && imagesOf(file.key()))
                ready << file.key();
        }
    }
    return ready;
}

class PicturePrinterCupsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QPrinterInfo::availablePrinterNames().contains(Queue))
            << "the test scheduler's queue is missing";
        outFolder_ = QDir(qEnvironmentVariable("VEXA_PDF_OUT"));
        ASSERT_FALSE(outFolder_.path().isEmpty());
        setCurrentPrinterName(QString());
    }

    QDir outFolder_;
    ScriptedDialogService dialogs_;
};

TEST_F(PicturePrinterCupsTest, PrintsOnTheNamedQueueWithThePictureDrawnAtItsResolution)
{
    // The screen copy is small and light; the renderer gives the same picture
    // from its source, dark, at any size. Whichever of the two is on the page shows.
    QImage screen(160, 200, QImage::Format_RGB32);
    screen.fill(QColor(220, 220, 220));
    QSize asked;
    PicturePrinter printer;
    printer.setPdfFolder(QDir::temp().filePath(QStringLiteral("vexa-no-pdf-expected")));
    printer.setLayout(PicturePrinter::layoutFor(screen.size()));
    printer.setPicture(screen, [&asked](QSize size) {
        asked = size;
        QImage source(size, QImage::Format_RGB32);
        source.fill(QColor(30, 30, 30));
        return source;
    });
    printer.setCaption(QStringLiteral("Cabinet de radiologie|Patient: DUPONT JEAN|"));
    printer.setPrinterName(Queue);
    const PdfStamps before = pdfsIn(outFolder_);

    const PrintOutcome outcome = printer.printPage();
    ASSERT_TRUE(outcome.printed);
    EXPECT_EQ(outcome.destination.printerName, Queue);
    EXPECT_FALSE(outcome.destination.isPdf());
    EXPECT_EQ(currentPrinterName(), Queue) << "the exact name selects the printer";
    EXPECT_TRUE(dialogs_.messages.empty()) << "a real printer needs no notice of a PDF file";
    EXPECT_GE(outcome.resolution, 150);
    EXPECT_LE(outcome.resolution, PicturePrinter::MaxResolution);
    EXPECT_EQ(asked, outcome.picturePixels) << "the picture is rendered at its size on the page";
    // Portrait A4 or Letter, less the caption: some 7 inches of height at least.
    EXPECT_GT(outcome.picturePixels.height(), 7 * outcome.resolution);

    const QStringList pdfs = newReadablePdfs(outFolder_, before);
    ASSERT_FALSE(pdfs.isEmpty()) << "no new PDF in " << outFolder_.path().toStdString();
    // The queue's driver may bring an image drawn finer than the device down to
    // the device's resolution; never below it.
    const int deviceResolution = queueResolution(Queue);
    ASSERT_GT(deviceResolution, 0);
    // Other printing tests may share the queue: the page is the one with one
    // image of our picture's shape.
    QString page;
    PdfImage drawn;
    for (const QString& pdf : pdfs) {
        const std::vector<PdfImage> images = *imagesOf(pdf);
        if (images.size() == 1 && images[0].height > 0
            && std::abs(images[0].width * 200.0 / images[0].height - 160.0) < 0.5) {
            page = pdf;
            drawn = images[0];
        }
    }
    ASSERT_FALSE(page.isEmpty()) << "no printed page holds one image of the picture: "
                                 << pdfs.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(QFileInfo(page).fileName().startsWith(QStringLiteral("job_")));
    EXPECT_GE(drawn.xPpi, deviceResolution - 1) << "sent at " << outcome.resolution << " dpi";
    EXPECT_LE(drawn.xPpi, outcome.resolution + 1);
    EXPECT_NEAR(drawn.yPpi, drawn.xPpi, 1);
    // Pixels per inch of the page times the picture's inches on the page.
    EXPECT_NEAR(drawn.height, outcome.picturePixels.height() * double(drawn.yPpi) / outcome.resolution, 3.0);
    EXPECT_GT(drawn.height, 7 * deviceResolution);

    // What was drawn is the rendered picture, not the enlarged screen copy.
    QTemporaryDir extracted;
    const QString prefix = QDir(extracted.path()).filePath(QStringLiteral("img"));
    ASSERT_EQ(QProcess::execute(QStringLiteral("pdfimages"), {QStringLiteral("-png"), page, prefix}), 0);
    const QStringList pngs = QDir(extracted.path()).entryList({QStringLiteral("img-*.png")});
    ASSERT_EQ(pngs.size(), 1);
    const QImage image(QDir(extracted.path()).filePath(pngs[0]));
    ASSERT_FALSE(image.isNull());
    EXPECT_LT(qGray(image.pixel(image.width() / 2, image.height() / 2)), 80);
}

TEST_F(PicturePrinterCupsTest, NameDifferingOnlyInLetterCaseDoesNotSelectTheQueue)
{
    const QStringList installed = QPrinterInfo::availablePrinterNames();
    ASSERT_FALSE(installed.contains(QStringLiteral("vexapdf"), Qt::CaseSensitive));
    setCurrentPrinterName(QStringLiteral("Bureau"));
    EXPECT_FALSE(selectPrinterByName(QStringLiteral("vexapdf"), installed));
    EXPECT_EQ(currentPrinterName(), QStringLiteral("Bureau"));

    QTemporaryDir folder;
    const PrintDestination destination = choosePrintDestination(
        QStringLiteral("vexapdf"), installed, folder.path(), QStringLiteral("Image"));
    EXPECT_EQ(currentPrinterName(), QStringLiteral("Bureau")) << "the current printer stays";
    EXPECT_FALSE(destination.isPdf()) << "an installed printer still prints";
    EXPECT_TRUE(installed.contains(destination.printerName, Qt::CaseSensitive))
        << "the job goes to an installed printer's own name, never to the name as typed";

    EXPECT_TRUE(selectPrinterByName(Queue, installed));
    EXPECT_EQ(currentPrinterName(), Queue);
}

// The jobs a queue has taken so far, done or not.
int jobsOf(const QString& queue)
{
    QProcess lister;
    lister.start(
        QStringLiteral("lpstat"), {QStringLiteral("-W"), QStringLiteral("all"), QStringLiteral("-o"), queue});
    if (!lister.waitForFinished(10000))
        return -1;
    const QStringList lines = QString::fromUtf8(lister.readAllStandardOutput()).split(QLatin1Char('\n'));
    return static_cast<int>(std::count_if(
        lines.begin(), lines.end(), [&](const QString& line) { return line.startsWith(queue + '-'); }));
}

TEST_F(PicturePrinterCupsTest, MissingPrinterPrintsOnTheDefaultQueueNeverOnTheLabelQueue)
{
    const QStringList installed = QPrinterInfo::availablePrinterNames();
    ASSERT_TRUE(installed.contains(QStringLiteral("VexaLabel")));
    ASSERT_EQ(QPrinterInfo::defaultPrinterName(), Queue) << "the test scheduler's default queue";
    // The label queue comes first in the list: a stale name must not fall onto it.
    ASSERT_EQ(installed.first(), QStringLiteral("VexaLabel"));
    setCurrentPrinterName(QStringLiteral("VexaLabel"));
    const int labelJobs = jobsOf(QStringLiteral("VexaLabel"));
    const int defaultJobs = jobsOf(Queue);

    QImage picture(120, 160, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    PicturePrinter printer;
    printer.setPdfFolder(QDir::temp().filePath(QStringLiteral("vexa-no-pdf-expected")));
    printer.setPicture(picture);
    printer.setPrinterName(QStringLiteral("ImagePrinter retirée"));
    const PrintOutcome outcome = printer.printPage();

    ASSERT_TRUE(outcome.printed);
    EXPECT_EQ(outcome.destination.printerName, Queue);
    EXPECT_TRUE(dialogs_.messages.empty()) << "a printer took the job: no PDF to announce";
    EXPECT_EQ(jobsOf(Queue), defaultJobs + 1);
    EXPECT_EQ(jobsOf(QStringLiteral("VexaLabel")), labelJobs);
}

} // namespace
