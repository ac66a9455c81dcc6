// Sheets printed through the print sheet window on the test scheduler's
// cups-pdf queue "VexaPDF", read back with poppler; the printed images marked
// in the database on both engines.
#include "ScriptedDialogService.h"
#include "SheetTestExam.h"
#include "base/core/AppValues.h"
#include "base/core/CurrentPrinter.h"
#include "base/core/DialogService.h"
#include "base/core/Settings.h"
#include "pacsdb/MainRecordSets.h"
#include "pacsdb/QueryCatalogue.h"
#include "pacsdb/RecordSet.h"
#include "printing/sheet/PrintSheetWindow.h"
#include "viewer/view/DicomView.h"

#include <brixel/Button.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::test;

namespace {

const QString Queue = QStringLiteral("VexaPDF");

QString output(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The sizes of a PDF's images, as `pdfimages -list` gives them.
std::vector<QSize> imageSizes(const QString& pdf)
{
    std::vector<QSize> sizes;
    const QStringList lines
        = output(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}).split(u'\n');
    for (const QString& line : lines.mid(2)) {
        const QStringList fields = line.simplified().split(u' ');
        if (fields.size() > 4 && fields[2] == QLatin1String("image"))
            sizes.emplace_back(fields[3].toInt(), fields[4].toInt());
    }
    return sizes;
}

struct TextLine {
    double top = 0; // points
    std::vector<int> wordLengths;
};

// The text lines of a PDF with their words, top to bottom, as poppler's
// pdftotext -bbox-layout gives them.
std::vector<TextLine> textLines(const QString& pdf)
{
    std::vector<TextLine> lines;
    const QString xml
        = output(QStringLiteral("pdftotext"), {QStringLiteral("-bbox-layout"), pdf, QStringLiteral("-")});
    static const QRegularExpression line(
        QStringLiteral(R"re(<line xMin="[^"]*" yMin="([^"]*)" xMax="[^"]*" yMax="[^"]*">(.*?)</line>)re"),
        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression word(QStringLiteral(R"re(<word [^>]*>([^<]*)</word>)re"));
    for (auto match = line.globalMatch(xml); match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        TextLine entry;
        entry.top = found.captured(1).toDouble();
        for (auto words = word.globalMatch(found.captured(2)); words.hasNext();)
            entry.wordLengths.push_back(static_cast<int>(words.next().captured(1).size()));
        lines.push_back(entry);
    }
    std::sort(lines.begin(), lines.end(), [](const TextLine& a, const TextLine& b) { return a.top < b.top; });
    return lines;
}

int pageCount(const QString& pdf)
{
    for (const QString& line : output(QStringLiteral("pdfinfo"), {pdf}).split(u'\n')) {
        if (line.startsWith(QStringLiteral("Pages:")))
            return line.section(u':', 1).trimmed().toInt();
    }
    return 0;
}

// cups-pdf writes job_<n>-<title>.pdf some time after the job is queued:
// waits (up to 20 s) for the one whose title holds `token` to be readable.
QString waitForPdf(const QString& token)
{
    const QDir folder(qEnvironmentVariable("VEXA_PDF_OUT"));
    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        for (const QFileInfo& file :
            folder.entryInfoList({QStringLiteral("*%1*.pdf").arg(token)}, QDir::Files)) {
            if (file.size() > 0 && pageCount(file.absoluteFilePath()) > 0)
                return file.absoluteFilePath();
        }
        QThread::msleep(200);
    }
    return {};
}

class PrintSheetCupsTest : public ::testing::TestWithParam<SqlBackend> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QPrinterInfo::availablePrinterNames().contains(Queue))
            << "the test scheduler's queue is missing";
        ASSERT_TRUE(folder_.isValid());
        setSettingsFile(folder_.filePath(QStringLiteral("settings.ini")));
        saveSetting(QStringLiteral("Print"), QStringLiteral("ConfigOrientation"), QStringLiteral("1"));
        saveSetting(QStringLiteral("Print"), QStringLiteral("ConfigNumber"), QStringLiteral("2"));
        setCurrentPrinterName(QString());
        setCurrentPrinterOrientation(1);
        pacs_ = std::make_unique<PacsTestDb>(GetParam());
        ASSERT_TRUE(pacs_->ok()) << pacs_->error().toStdString();
        // Conquest's underscores beside a near-namesake that "_" as a LIKE
        // wild card would take for it, and which comes first.
        const QString root = folder_.filePath(QStringLiteral("images"));
        ASSERT_EQ(
            writeExam(*pacs_, root,
                {{QStringLiteral("PAT1/IMGxAx1.dcm"), 250}, {QStringLiteral("PAT1/IMG_A_1.dcm"), 40},
                    {QStringLiteral("PAT1/image_3.dcm"), 100}, {QStringLiteral("PAT1/image_4.dcm"), 160},
                    {QStringLiteral("PAT1/image_5.dcm"), 220}}),
            QString());
        appValues().conquestPath = pacs_->path();
        appValues().conquestImagePath = root;
        appValues().imagePrinter = Queue;
        sets_.setDatabasePath(pacs_->path());
        token_ = QStringLiteral("vexasheet%1x%2").arg(QCoreApplication::applicationPid()).arg(++serial);
    }
    void TearDown() override { setSettingsFile(QString()); }

    std::unique_ptr<PrintSheetWindow> open(const QString& caption)
    {
        auto window = std::make_unique<PrintSheetWindow>(sets_, Exam{.seriesUid = ExamSeriesUid}, caption);
        window->documentName = token_;
        window->resize(1280, 900);
        window->show();
        QCoreApplication::processEvents();
        return window;
    }

    // ObjectFile -> printed today, read back through a record set.
    QMap<QString, bool> printedToday()
    {
        RecordSet check;
        check.setDatabasePath(pacs_->path());
        check.setRecordSource(sql::imagesOfSeries(ExamSeriesUid));
        EXPECT_TRUE(check.requery()) << check.lastError().toStdString();
        QMap<QString, bool> printed;
        for (check.moveFirst(); !check.eof(); check.moveNext()) {
            printed.insert(check.fieldText(QStringLiteral("ObjectFile")),
                check.fieldBool(QStringLiteral("Printed"))
                    && check.fieldDate(QStringLiteral("PrintDate")) == QDate::currentDate());
        }
        check.close();
        return printed;
    }

    QTemporaryDir folder_;
    std::unique_ptr<PacsTestDb> pacs_;
    MainRecordSets sets_;
    ScriptedDialogService dialogs_;
    QString token_;
    static inline int serial = 0;
};

TEST_P(PrintSheetCupsTest, FourImageSheetIsPrintedFromTheImagesAndMarksExactlyThem)
{
    // Page 2 shows the exam: its rows are read again once marked.
    sets_.examImages.setRecordSource(sql::imagesOfSeries(ExamSeriesUid));
    ASSERT_TRUE(sets_.examImages.requery());
    const auto window
        = open(QStringLiteral("Cabinet de radiologie|Patient: DUPONT JEAN|Date de l'examen: 15/03/2026|"));
    SlotPage* page = window->page();
    ASSERT_EQ(page->sheet.slotCount(), 4);
    for (const int thumbnail : {1, 2, 3, 4})
        QTest::mouseDClick(window->thumbnail(thumbnail), Qt::LeftButton);
    const QSize preview = page->slotView(1)->size();
    QTest::mouseClick(window->printButton(), Qt::LeftButton);

    const SheetPrintOutcome& outcome = window->lastPrint();
    ASSERT_TRUE(outcome.printed);
    EXPECT_EQ(outcome.destination.printerName, Queue);
    ASSERT_EQ(outcome.drawn.size(), 4u);
    EXPECT_TRUE(window->isVisible()) << "the window stays open after printing";
    EXPECT_EQ(window->waitingText()->text(), PrintSheetWindow::RestingText);
    EXPECT_TRUE(dialogs_.messages.empty());

    const QMap<QString, bool> printed = printedToday();
    EXPECT_FALSE(printed.value(QStringLiteral("PAT1/IMGxAx1.dcm"))) << "the near-namesake stays unprinted";
    for (const QString& file : {QStringLiteral("PAT1/IMG_A_1.dcm"), QStringLiteral("PAT1/image_3.dcm"),
             QStringLiteral("PAT1/image_4.dcm"), QStringLiteral("PAT1/image_5.dcm")})
        EXPECT_TRUE(printed.value(file)) << file.toStdString();
    ASSERT_TRUE(sets_.examImages.findFirst(QStringLiteral("ObjectFile = 'PAT1/image_4.dcm'")));
    EXPECT_TRUE(sets_.examImages.fieldBool(QStringLiteral("Printed"))) << "page 2 shows the mark at once";

    const QString pdf = waitForPdf(token_);
    ASSERT_FALSE(pdf.isEmpty()) << "no PDF titled " << token_.toStdString();
    EXPECT_EQ(pageCount(pdf), 1);
    // The queue's driver turns the fonts into unnamed glyphs (their text and
    // sizes are checked on the program's own PDF elsewhere): here the caption
    // is three lines of 3, 3 and 4 words, in order, over the top of the page.
    const std::vector<TextLine> caption = textLines(pdf);
    ASSERT_EQ(caption.size(), 3u);
    const std::size_t words[] = {3, 3, 4};
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(caption[i].wordLengths.size(), words[i]) << "line " << i;
    EXPECT_LT(caption[0].top, caption[1].top);
    EXPECT_LT(caption[1].top, caption[2].top);
    EXPECT_LT(caption[2].top, 90) << "over the top of the page";
    const std::vector<QSize> images = imageSizes(pdf);
    ASSERT_EQ(images.size(), 4u);
    for (const QSize& image : images) {
        EXPECT_GT(image.width(), 2 * preview.width()) << "drawn from the image, not from the small preview";
        EXPECT_GT(image.height(), 2 * preview.height());
    }

    // Rasterised, each cell shows its own image's grey: slot 1 (left, top)
    // to slot 4 (right, bottom).
    QPrinter reference(QPrinter::HighResolution);
    reference.setPrinterName(Queue);
    const QPointF margin = reference.pageLayout().paintRect(QPageLayout::Inch).topLeft();
    const QString raster = folder_.filePath(QStringLiteral("page"));
    ASSERT_EQ(QProcess::execute(QStringLiteral("pdftoppm"),
                  {QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-gray"),
                      QStringLiteral("-singlefile"), pdf, raster}),
        0);
    const QImage rasterised(raster + QStringLiteral(".pgm"));
    ASSERT_FALSE(rasterised.isNull());
    const int greys[] = {40, 100, 160, 220};
    for (const auto& [slot, rect] : outcome.drawn) {
        const QPointF inches = margin + QPointF(rect.center()) / outcome.resolution;
        const QPoint at((inches * 40).toPoint());
        EXPECT_NEAR(qGray(rasterised.pixel(at)), greys[slot - 1], 20) << "slot " << slot;
    }
}

TEST_P(PrintSheetCupsTest, EmptyPageStillEndsItsDocumentAndMarksNothing)
{
    const auto window = open(QStringLiteral("Cabinet de radiologie|"));
    QTest::mouseClick(window->printButton(), Qt::LeftButton);
    EXPECT_TRUE(window->lastPrint().printed);
    EXPECT_FALSE(window->lastPrint().hadContent);
    const QString pdf = waitForPdf(token_);
    ASSERT_FALSE(pdf.isEmpty()) << "an empty page still goes to the printer";
    EXPECT_EQ(pageCount(pdf), 1);
    EXPECT_TRUE(imageSizes(pdf).empty());
    EXPECT_TRUE(output(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).trimmed().isEmpty())
        << "no caption over an empty page";
    for (const bool marked : printedToday())
        EXPECT_FALSE(marked);
}

// The sheet works on the exam it was opened on: the main window turning to
// another patient's exam meanwhile (whose files bear the same names) changes
// neither what is marked nor that exam's rows.
TEST_P(PrintSheetCupsTest, SheetMarksOnlyItsOwnExamWhileTheMainWindowShowsAnother)
{
    const QString other = QStringLiteral("1.2.826.0.1.3680043.2.1125.88");
    pacs_->insertPatient(QStringLiteral("PAT2"), QStringLiteral("MARTIN^LUC"));
    pacs_->insertSeries(other, QStringLiteral("PAT2"), QStringLiteral("20260315"));
    for (const int n : {3, 4})
        pacs_->insertImage(other + QStringLiteral(".%1").arg(n), other, QStringLiteral("PAT2"),
            QStringLiteral("20260315"), QStringLiteral("PAT1/image_%1.dcm").arg(n));
    sets_.examImages.setRecordSource(sql::imagesOfSeries(ExamSeriesUid));
    ASSERT_TRUE(sets_.examImages.requery());
    const auto window = open(QStringLiteral("Cabinet de radiologie|"));
    for (const int thumbnail : {2, 3})
        QTest::mouseDClick(window->thumbnail(thumbnail), Qt::LeftButton);
    sets_.examImages.setRecordSource(sql::imagesOfSeries(other)); // the main window opens the other exam
    ASSERT_TRUE(sets_.examImages.requery());
    QTest::mouseClick(window->printButton(), Qt::LeftButton);

    ASSERT_TRUE(window->lastPrint().printed);
    const QMap<QString, bool> printed = printedToday();
    EXPECT_TRUE(printed.value(QStringLiteral("PAT1/image_3.dcm")));
    EXPECT_TRUE(printed.value(QStringLiteral("PAT1/image_4.dcm")));
    EXPECT_EQ(pacs_
                  ->scalar(QStringLiteral(
                      "SELECT COUNT(*) FROM DICOMImages WHERE SeriesInst = '%1' AND Printed <> 0")
                               .arg(other))
                  .toInt(),
        0);
    EXPECT_EQ(sets_.examImages.recordSource(), sql::imagesOfSeries(other));
    for (sets_.examImages.moveFirst(); !sets_.examImages.eof(); sets_.examImages.moveNext())
        EXPECT_FALSE(sets_.examImages.fieldBool(QStringLiteral("Printed")));
}

INSTANTIATE_TEST_SUITE_P(Backends, PrintSheetCupsTest,
    ::testing::Values(SqlBackend::Sqlite, SqlBackend::Postgres), ::vexa::test::backendName);

} // namespace
