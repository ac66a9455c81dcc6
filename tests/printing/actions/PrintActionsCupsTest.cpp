// The printing actions on an exam of three images, one already printed:
// automatic printing on the test scheduler's cups-pdf queue with its pages
// read back, the print sheet and interpretation windows they open, and the
// new-images check.
#include "ScriptedDialogService.h"
#include "SheetTestExam.h"
#include "base/core/AppValues.h"
#include "base/core/CurrentPrinter.h"
#include "base/core/DialogService.h"
#include "pacsdb/MainRecordSets.h"
#include "pacsdb/QueryCatalogue.h"
#include "printing/actions/PrintActions.h"
#include "printing/interpretation/InterpretationWindow.h"
#include "printing/sheet/PrintSheetWindow.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::test;

namespace {

const QString Queue = QStringLiteral("VexaPDF");
const QSize ImageShape(301, 397); // a shape no other test prints

using PdfStamps = QHash<QString, QDateTime>;

PdfStamps pdfsIn(const QDir& folder)
{
    PdfStamps stamps;
    for (const QFileInfo& file : folder.entryInfoList({QStringLiteral("*.pdf")}, QDir::Files))
        stamps.insert(file.absoluteFilePath(), file.lastModified());
    return stamps;
}

// The one image of a PDF page, or an empty size.
QSize onlyImage(const QString& pdf)
{
    QProcess lister;
    lister.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    if (!lister.waitForFinished(30000) || lister.exitCode() != 0)
        return {};
    QList<QSize> sizes;
    const QStringList lines = QString::fromUtf8(lister.readAllStandardOutput()).split(u'\n');
    for (const QString& line : lines.mid(2)) {
        const QStringList fields = line.simplified().split(u' ');
        if (fields.size() > 4 && fields[2] == QLatin1String("image"))
            sizes << QSize(fields[3].toInt(), fields[4].toInt());
    }
    return sizes.size() == 1 ? sizes[0] : QSize();
}

// Pages of our images' shape written since `before`; waits up to 20 s for
// `expected` of them, then a little longer for any extra one.
int newPagesOfOurShape(const QDir& folder, const PdfStamps& before, int expected)
{
    int found = 0;
    QDeadlineTimer deadline(20000);
    for (;;) {
        QThread::msleep(500);
        found = 0;
        const PdfStamps now = pdfsIn(folder);
        for (auto file = now.begin(); file != now.end(); ++file) {
            if (before.value(file.key()) == file.value())
                continue;
            const QSize image = onlyImage(file.key());
            if (!image.isEmpty()
                && std::abs(image.width() * double(ImageShape.height()) / image.height() - ImageShape.width())
                    < 1.0)
                ++found;
        }
        if (deadline.hasExpired())
            return found;
        if (found >= expected)
            deadline = QDeadlineTimer(std::min<qint64>(deadline.remainingTime(), 3000));
    }
}

class PrintActionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.isValid());
        pacs_ = std::make_unique<PacsTestDb>(SqlBackend::Sqlite);
        ASSERT_TRUE(pacs_->ok()) << pacs_->error().toStdString();
        std::vector<ExamImage> images = numberedImages(3, ImageShape);
        images[1].printed = true;
        ASSERT_EQ(writeExam(*pacs_, folder_.filePath(QStringLiteral("images")), images,
                      {.scanDate = QDate::currentDate()}),
            QString());
        appValues().conquestPath = pacs_->path();
        appValues().conquestImagePath = folder_.filePath(QStringLiteral("images"));
        appValues().imagePath = folder_.filePath(QStringLiteral("pictures"));
        appValues().imagePrinter = Queue;
        appValues().entete = QStringLiteral("Cabinet de radiologie");
        setCurrentPrinterName(QString());
        sets_.setDatabasePath(pacs_->path());
        sets_.examImages.setRecordSource(sql::imagesOfSeries(ExamSeriesUid));
        ASSERT_TRUE(sets_.examImages.requery());
        actions_.runWindow = [this](QDialog& window) {
            opened_.push_back(QString::fromLatin1(window.metaObject()->className()));
            inspect_(window);
            return 0;
        };
    }

    // Printed flag of each image, in order, read again from the database.
    std::vector<bool> printedToday()
    {
        sets_.workSet.setDatabasePath(pacs_->path());
        sets_.workSet.setRecordSource(sql::imagesOfSeries(ExamSeriesUid));
        EXPECT_TRUE(sets_.workSet.requery());
        std::vector<bool> printed;
        for (sets_.workSet.moveFirst(); !sets_.workSet.eof(); sets_.workSet.moveNext())
            printed.push_back(sets_.workSet.fieldBool(QStringLiteral("Printed"))
                && sets_.workSet.fieldDate(QStringLiteral("PrintDate")) == QDate::currentDate());
        sets_.workSet.close();
        return printed;
    }

    // The exam the actions are given, as the main window opened it.
    const Exam exam_{ExamSeriesUid, {}, {}, QStringLiteral("DUPONT JEAN"), QStringLiteral("15/03/2026")};
    QTemporaryDir folder_;
    std::unique_ptr<PacsTestDb> pacs_;
    MainRecordSets sets_;
    ScriptedDialogService dialogs_;
    PrintActions actions_{sets_};
    std::vector<QString> opened_; // class of each window run, in order
    std::function<void(QDialog&)> inspect_ = [](QDialog&) {};
};

TEST_F(PrintActionsTest, AutomaticPrintingAsksOnceForAPrintedExamAndRightClickSkipsTheFirstQuestion)
{
    ASSERT_TRUE(QPrinterInfo::availablePrinterNames().contains(Queue))
        << "the test scheduler's queue is missing";
    const QDir out(qEnvironmentVariable("VEXA_PDF_OUT"));
    QStringList notices;
    actions_.showNotice = [&notices](const QString& text) { notices << text; };

    // Yes to printing automatically, No when the printed image comes: the
    // first image is printed, nothing after it.
    PdfStamps before = pdfsIn(out);
    dialogs_.answerMessage(MsgResult::Yes);
    dialogs_.answerMessage(MsgResult::No);
    actions_.printExam(exam_, false);
    ASSERT_EQ(dialogs_.messages.size(), 2u);
    EXPECT_EQ(dialogs_.messages[0].text, PrintActions::PrintExamQuestion);
    EXPECT_EQ(dialogs_.messages[0].title, QStringLiteral("Impression de l'examen..."));
    EXPECT_EQ(dialogs_.messages[0].defaultButton, MsgResult::No);
    EXPECT_EQ(dialogs_.messages[1].text, PrintActions::AlreadyPrintedQuestion);
    EXPECT_EQ(dialogs_.messages[1].title, QStringLiteral("Impression d'un dossier"));
    EXPECT_EQ(notices, QStringList{PrintActions::PrintingNotice});
    EXPECT_EQ(printedToday(), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(sets_.examImages.currentRow(), 0) << "the exam's images are back on the first";
    EXPECT_EQ(newPagesOfOurShape(out, before, 1), 1);
    EXPECT_TRUE(opened_.empty());

    // A right click prints without the first question; two images are
    // printed already, the question about them comes once.
    before = pdfsIn(out);
    dialogs_.answerMessage(MsgResult::Yes);
    actions_.printExam(exam_, true);
    ASSERT_EQ(dialogs_.messages.size(), 3u);
    EXPECT_EQ(dialogs_.messages[2].text, PrintActions::AlreadyPrintedQuestion);
    EXPECT_EQ(printedToday(), (std::vector<bool>{true, true, true}));
    EXPECT_EQ(newPagesOfOurShape(out, before, 3), 3) << "one page per image";
    EXPECT_EQ(dialogs_.unexpected, 0);
}

TEST_F(PrintActionsTest, AnswerNoOpensThePrintSheetCaptionedFromTheSelectedImage)
{
    QString caption, series;
    inspect_ = [&](QDialog& window) {
        auto* sheet = qobject_cast<PrintSheetWindow*>(&window);
        ASSERT_NE(sheet, nullptr);
        caption = sheet->caption();
        series = sheet->seriesUid();
    };
    dialogs_.answerMessage(MsgResult::No);
    actions_.printExam(exam_, false);
    ASSERT_EQ(opened_.size(), 1u);
    EXPECT_EQ(
        caption, QStringLiteral("Cabinet de radiologie|Patient: DUPONT JEAN|Date de l'examen: 15/03/2026|"));
    EXPECT_EQ(series, ExamSeriesUid);
    EXPECT_EQ(printedToday(), (std::vector<bool>{false, false, false})) << "nothing printed";
}

TEST_F(PrintActionsTest, InterpretationAndNewImages)
{
    int images = -1;
    inspect_ = [&](QDialog& window) {
        if (auto* interpretation = qobject_cast<InterpretationWindow*>(&window))
            images = interpretation->imageCount();
    };
    actions_.openInterpretation(exam_);
    EXPECT_EQ(images, 3);

    // Two images of the day wait to be printed: the print sheet opens on them.
    QStringList offered;
    inspect_ = [&](QDialog& window) {
        if (auto* sheet = qobject_cast<PrintSheetWindow*>(&window)) {
            for (const SheetImage& image : sheet->images())
                offered << image.objectFile;
        }
    };
    EXPECT_TRUE(actions_.printNewImages());
    ASSERT_EQ(opened_.size(), 2u);
    EXPECT_EQ(opened_[1], QStringLiteral("vexa::PrintSheetWindow"));
    EXPECT_EQ(offered, (QStringList{"PAT1/image_1.dcm", "PAT1/image_3.dcm"}));
    // Nothing waits: the user is told so.
    pacs_->exec(QStringLiteral("UPDATE DICOMImages SET Printed = -1"));
    dialogs_.answerMessage(MsgResult::Ok);
    EXPECT_FALSE(actions_.printNewImages());
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text, QStringLiteral("Il n'y a pas d'image nouvelle à imprimer"));
    EXPECT_EQ(dialogs_.messages[0].title, QStringLiteral("Impression"));
    EXPECT_EQ(dialogs_.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(opened_.size(), 2u);
}

// With no printer, the whole exam goes into one PDF, one page per image, and
// one message names it; the images are marked once the file is written.
TEST_F(PrintActionsTest, WithoutAPrinterTheWholeExamMakesOnePdfToldOnce)
{
    const QDir pdfs(folder_.filePath(QStringLiteral("pdf")));
    actions_.installedPrinters = QStringList{};
    actions_.pdfFolder = pdfs.path();
    pacs_->exec(QStringLiteral("UPDATE DICOMImages SET Printed = 0"));
    dialogs_.answerMessage(MsgResult::Ok);
    actions_.printExam(exam_, true);

    const QStringList written = pdfs.entryList({QStringLiteral("*.pdf")}, QDir::Files);
    ASSERT_EQ(written.size(), 1) << written.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(written[0].startsWith(QStringLiteral("Examen DUPONT JEAN ")));
    const QString path = pdfs.filePath(written[0]);
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text, PrintActions::ExamPdfText.arg(3) + QDir::toNativeSeparators(path));
    EXPECT_EQ(dialogs_.messages[0].icon, MsgIcon::Information);
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path});
    ASSERT_TRUE(info.waitForFinished(30000));
    EXPECT_TRUE(QString::fromUtf8(info.readAllStandardOutput())
                    .contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n"))));
    EXPECT_EQ(printedToday(), (std::vector<bool>{true, true, true}));
    EXPECT_EQ(dialogs_.unexpected, 0);
}

} // namespace
