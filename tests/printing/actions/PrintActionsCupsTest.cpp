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

PdfStamps PdfsIn(const QDir& folder)
{
    PdfStamps stamps;
    for (const QFileInfo& file : folder.entryInfoList({QStringLiteral("*.pdf")}, QDir::Files))
        stamps.insert(file.absoluteFilePath(), file.lastModified());
    return stamps;
}

// The one image of a PDF page, or an empty size.
QSize OnlyImage(const QString& pdf)
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
int NewPagesOfOurShape(const QDir& folder, const PdfStamps& before, int expected)
{
    int found = 0;
    QDeadlineTimer deadline(20000);
    for (;;) {
        QThread::msleep(500);
        found = 0;
        const PdfStamps now = PdfsIn(folder);
        for (auto file = now.begin(); file != now.end(); ++file) {
            if (before.value(file.key()) == file.value())
                continue;
            const QSize image = OnlyImage(file.key());
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
        ASSERT_TRUE(folder.isValid());
        pacs = std::make_unique<PacsTestDb>(SqlBackend::Sqlite);
        ASSERT_TRUE(pacs->ok()) << pacs->error().toStdString();
        std::vector<ExamImage> images = NumberedImages(3, ImageShape);
        images[1].printed = true;
        ASSERT_EQ(WriteExam(*pacs, folder.filePath(QStringLiteral("images")), images,
                      {.scanDate = QDate::currentDate()}),
            QString());
        appValues().ConquestPath = pacs->path();
        appValues().ConquestImagePath = folder.filePath(QStringLiteral("images"));
        appValues().ImagePath = folder.filePath(QStringLiteral("pictures"));
        appValues().ImagePrinter = Queue;
        appValues().Entete = QStringLiteral("Cabinet de radiologie");
        SetCurrentPrinterName(QString());
        sets.setDatabasePath(pacs->path());
        sets.examImages.setRecordSource(Sql::ImagesOfSeries(ExamSeriesUid));
        ASSERT_TRUE(sets.examImages.requery());
        actions.runWindow = [this](QDialog& window) {
            opened.push_back(QString::fromLatin1(window.metaObject()->className()));
            inspect(window);
            return 0;
        };
    }

    // Printed flag of each image, in order, read again from the database.
    std::vector<bool> printedToday()
    {
        sets.workSet.setDatabasePath(pacs->path());
        sets.workSet.setRecordSource(Sql::ImagesOfSeries(ExamSeriesUid));
        EXPECT_TRUE(sets.workSet.requery());
        std::vector<bool> printed;
        for (sets.workSet.moveFirst(); !sets.workSet.eof(); sets.workSet.moveNext())
            printed.push_back(sets.workSet.fieldBool(QStringLiteral("Printed"))
                && sets.workSet.fieldDate(QStringLiteral("PrintDate")) == QDate::currentDate());
        sets.workSet.close();
        return printed;
    }

    // The exam the actions are given, as the main window opened it.
    const Exam exam{ExamSeriesUid, {}, {}, QStringLiteral("DUPONT JEAN"), QStringLiteral("15/03/2026")};
    QTemporaryDir folder;
    std::unique_ptr<PacsTestDb> pacs;
    MainRecordSets sets;
    ScriptedDialogService dialogs;
    PrintActions actions{sets};
    std::vector<QString> opened; // class of each window run, in order
    std::function<void(QDialog&)> inspect = [](QDialog&) {};
};

TEST_F(PrintActionsTest, AutomaticPrintingAsksOnceForAPrintedExamAndRightClickSkipsTheFirstQuestion)
{
    ASSERT_TRUE(QPrinterInfo::availablePrinterNames().contains(Queue))
        << "the test scheduler's queue is missing";
    const QDir out(qEnvironmentVariable("VEXA_PDF_OUT"));
    QStringList notices;
    actions.showNotice = [&notices](const QString& text) { notices << text; };

    // Yes to printing automatically, No when the printed image comes: the
    // first image is printed, nothing after it.
    PdfStamps before = PdfsIn(out);
    dialogs.answerMessage(MsgResult::Yes);
    dialogs.answerMessage(MsgResult::No);
    actions.printExam(exam, false);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text, PrintActions::PrintExamQuestion);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Impression de l'examen..."));
    EXPECT_EQ(dialogs.messages[0].defaultButton, MsgResult::No);
    EXPECT_EQ(dialogs.messages[1].text, PrintActions::AlreadyPrintedQuestion);
    EXPECT_EQ(dialogs.messages[1].title, QStringLiteral("Impression d'un dossier"));
    EXPECT_EQ(notices, QStringList{PrintActions::PrintingNotice});
    EXPECT_EQ(printedToday(), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(sets.examImages.currentRow(), 0) << "the exam's images are back on the first";
    EXPECT_EQ(NewPagesOfOurShape(out, before, 1), 1);
    EXPECT_TRUE(opened.empty());

    // A right click prints without the first question; two images are
    // printed already, the question about them comes once.
    before = PdfsIn(out);
    dialogs.answerMessage(MsgResult::Yes);
    actions.printExam(exam, true);
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[2].text, PrintActions::AlreadyPrintedQuestion);
    EXPECT_EQ(printedToday(), (std::vector<bool>{true, true, true}));
    EXPECT_EQ(NewPagesOfOurShape(out, before, 3), 3) << "one page per image";
    EXPECT_EQ(dialogs.unexpected, 0);
}

TEST_F(PrintActionsTest, AnswerNoOpensThePrintSheetCaptionedFromTheSelectedImage)
{
    QString caption, series;
    inspect = [&](QDialog& window) {
        auto* sheet = qobject_cast<PrintSheetWindow*>(&window);
        ASSERT_NE(sheet, nullptr);
        caption = sheet->caption();
        series = sheet->seriesUid();
    };
    dialogs.answerMessage(MsgResult::No);
    actions.printExam(exam, false);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(
        caption, QStringLiteral("Cabinet de radiologie|Patient: DUPONT JEAN|Date de l'examen: 15/03/2026|"));
    EXPECT_EQ(series, ExamSeriesUid);
    EXPECT_EQ(printedToday(), (std::vector<bool>{false, false, false})) << "nothing printed";
}

TEST_F(PrintActionsTest, InterpretationAndNewImages)
{
    int images = -1;
    inspect = [&](QDialog& window) {
        if (auto* interpretation = qobject_cast<InterpretationWindow*>(&window))
            images = interpretation->imageCount();
    };
    actions.openInterpretation(exam);
    EXPECT_EQ(images, 3);

    // Two images of the day wait to be printed: the print sheet opens on them.
    QStringList offered;
    inspect = [&](QDialog& window) {
        if (auto* sheet = qobject_cast<PrintSheetWindow*>(&window)) {
            for (const SheetImage& image : sheet->images())
                offered << image.objectFile;
        }
    };
    EXPECT_TRUE(actions.printNewImages());
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[1], QStringLiteral("vexa::PrintSheetWindow"));
    EXPECT_EQ(offered, (QStringList{"PAT1/image_1.dcm", "PAT1/image_3.dcm"}));
    // Nothing waits: the user is told so.
    pacs->exec(QStringLiteral("UPDATE DICOMImages SET Printed = -1"));
    dialogs.answerMessage(MsgResult::Ok);
    EXPECT_FALSE(actions.printNewImages());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Il n'y a pas d'image nouvelle à imprimer"));
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Impression"));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(opened.size(), 2u);
}

// With no printer, the whole exam goes into one PDF, one page per image, and
// one message names it; the images are marked once the file is written.
TEST_F(PrintActionsTest, WithoutAPrinterTheWholeExamMakesOnePdfToldOnce)
{
    const QDir pdfs(folder.filePath(QStringLiteral("pdf")));
    actions.installedPrinters = QStringList{};
    actions.pdfFolder = pdfs.path();
    pacs->exec(QStringLiteral("UPDATE DICOMImages SET Printed = 0"));
    dialogs.answerMessage(MsgResult::Ok);
    actions.printExam(exam, true);

    const QStringList written = pdfs.entryList({QStringLiteral("*.pdf")}, QDir::Files);
    ASSERT_EQ(written.size(), 1) << written.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(written[0].startsWith(QStringLiteral("Examen DUPONT JEAN ")));
    const QString path = pdfs.filePath(written[0]);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, PrintActions::ExamPdfText.arg(3) + QDir::toNativeSeparators(path));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Information);
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path});
    ASSERT_TRUE(info.waitForFinished(30000));
    EXPECT_TRUE(QString::fromUtf8(info.readAllStandardOutput())
                    .contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n"))));
    EXPECT_EQ(printedToday(), (std::vector<bool>{true, true, true}));
    EXPECT_EQ(dialogs.unexpected, 0);
}

} // namespace
