// The print sheet window driven like a user on a small exam (offscreen, no
// printing): filling slots, thumbnails per page, the stored default layout,
// the orientation given back on closing.
#include "printing/sheet/PrintSheetWindow.h"
#include "ScriptedDialogService.h"
#include "SheetTestExam.h"
#include "base/core/AppValues.h"
#include "base/core/CurrentPrinter.h"
#include "base/core/DialogService.h"
#include "base/core/Settings.h"
#include "pacsdb/ExamChecks.h"
#include "pacsdb/MainRecordSets.h"
#include "viewer/view/DicomView.h"

#include <brixel/Button.h>

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::test;

namespace {

class PrintSheetWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.isValid());
        setSettingsFile(folder_.filePath(QStringLiteral("settings.ini")));
        setCurrentPrinterOrientation(1);
    }
    void TearDown() override { setSettingsFile(QString()); }

    void makeExam(int images)
    {
        pacs_ = std::make_unique<PacsTestDb>(SqlBackend::Sqlite);
        ASSERT_TRUE(pacs_->ok()) << pacs_->error().toStdString();
        const QString root = folder_.filePath(QStringLiteral("images"));
        ASSERT_EQ(writeExam(*pacs_, root, numberedImages(images)), QString());
        appValues().conquestPath = pacs_->path();
        appValues().conquestImagePath = root;
        appValues().imagePrinter = QStringLiteral("no such printer");
        sets_.setDatabasePath(pacs_->path());
    }

    std::unique_ptr<PrintSheetWindow> open(QSize size = {1280, 900})
    {
        auto window = std::make_unique<PrintSheetWindow>(
            sets_, Exam{.seriesUid = ExamSeriesUid}, QStringLiteral("Titre|"));
        window->resize(size);
        window->show();
        QCoreApplication::processEvents();
        return window;
    }

    QTemporaryDir folder_;
    std::unique_ptr<PacsTestDb> pacs_;
    MainRecordSets sets_;
    ScriptedDialogService dialogs_;
};

TEST_F(PrintSheetWindowTest, DoubleClickedThumbnailsFillTheSlotsInTurnThenStartAgain)
{
    makeExam(5);
    saveSetting(QStringLiteral("Print"), QStringLiteral("ConfigOrientation"), QStringLiteral("1"));
    saveSetting(QStringLiteral("Print"), QStringLiteral("ConfigNumber"), QStringLiteral("2"));
    const auto window = open();
    SlotPage* page = window->page();
    ASSERT_EQ(page->sheet.slotCount(), 4);
    EXPECT_EQ(page->sheet.selected(), 1);
    for (const int index : {0, 1, 2, 3, 3}) {
        QLabel* thumbnail = window->thumbnail(index);
        ASSERT_TRUE(thumbnail->isVisible()) << index;
        QTest::mouseDClick(thumbnail, Qt::LeftButton);
    }
    // Thumbnails 0, 1, 2, 3 went to slots 1 to 4; the fifth double click
    // (thumbnail 3 again) wrapped round to slot 1.
    EXPECT_EQ(page->sheet.selected(), 2);
    const int expected[] = {3, 1, 2, 3};
    for (int slot = 1; slot <= 4; ++slot) {
        EXPECT_EQ(page->sheet.slot(slot).sourceIndex, expected[slot - 1]) << "slot " << slot;
        ASSERT_NE(page->slotView(slot), nullptr);
        EXPECT_TRUE(page->slotView(slot)->hasImage());
        EXPECT_TRUE(page->slotView(slot)->isVisible());
    }
    EXPECT_TRUE(page->slotView(1)->displayFile().endsWith(window->thumbnailTag(3)));
    // The selection frame surrounds slot 2, 30 twips (2 pixels) outside.
    EXPECT_EQ(page->selectionFrame()->geometry(),
        static_cast<QWidget*>(page->slotView(2))->geometry().adjusted(-2, -2, 2, 2));

    // Space moves on the same way, once the sheet is active again after the
    // waiting window of the last decode.
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_Space);
    QTest::keyClick(window.get(), Qt::Key_Space);
    QTest::keyClick(window.get(), Qt::Key_Space);
    EXPECT_EQ(page->sheet.selected(), 1);
    EXPECT_TRUE(page->hasFocus()) << "after a key the page takes the focus";
}

TEST_F(PrintSheetWindowTest, ThumbnailsPerPageFollowTheWindowWidthAndTheScrollBarThePageCount)
{
    makeExam(9);
    const struct {
        int width; // pixels (15 twips each)
        int perPage;
        bool scrollBar;
        int maximum;
    } cases[] = {{1280, 7, true, 1}, {1279, 4, true, 2}};
    for (const auto& c : cases) {
        const auto window = open({c.width, 900});
        EXPECT_EQ(window->thumbnailsPerPage(), c.perPage) << c.width;
        EXPECT_EQ(window->thumbnailScrollBar()->isVisible(), c.scrollBar) << c.width;
        EXPECT_EQ(window->thumbnailScrollBar()->maximum(), c.maximum) << c.width;
        int shown = 0;
        for (int i = 0; i < PrintSheetWindow::ThumbnailSlots; ++i)
            shown += window->thumbnail(i)->isVisible() ? 1 : 0;
        EXPECT_EQ(shown, c.perPage) << c.width;
        // The last page of thumbnails: 9 - 7 = 2 or 9 - 8 = 1 images.
        window->thumbnailScrollBar()->setValue(c.maximum);
        EXPECT_EQ(
            window->thumbnailTag(0), QStringLiteral("PAT1/image_%1.dcm").arg(c.perPage * c.maximum + 1));
        EXPECT_TRUE(window->thumbnailTag(9 - c.perPage * c.maximum).isEmpty());
    }
    makeExam(3);
    const auto small = open({1280, 900});
    EXPECT_FALSE(small->thumbnailScrollBar()->isVisible()) << "one page of thumbnails needs no scroll bar";
}

TEST_F(PrintSheetWindowTest, StoredLandscapeLayoutOpensAgainAndClosingGivesBackTheOrientation)
{
    makeExam(2);
    {
        const auto window = open();
        EXPECT_EQ(window->orientation(), PageOrientation::Portrait) << "default: the printer's orientation";
        EXPECT_EQ(window->layoutIndex(), 0);
        QTest::mouseClick(window->orientationOption(PageOrientation::Landscape), Qt::LeftButton);
        EXPECT_EQ(currentPrinterOrientation(), 2);
        EXPECT_GT(window->pageRatio(), 1.0) << "a landscape page is wider than tall";
        EXPECT_EQ(window->layoutIndex(), 0);
        QTest::mouseClick(window->layoutOption(PageOrientation::Landscape, 3), Qt::LeftButton);
        EXPECT_EQ(window->page()->sheet.slotCount(), 6);
        dialogs_.answerMessage(MsgResult::Ok);
        QTest::mouseClick(window->storeDefaultButton(), Qt::LeftButton);
        ASSERT_EQ(dialogs_.messages.size(), 1u);
        EXPECT_EQ(dialogs_.messages[0].text, QStringLiteral("La configuration actuelle est sauvegardée. "));
        EXPECT_EQ(dialogs_.messages[0].title, QStringLiteral("Sauvegarde ...."));
        EXPECT_EQ(dialogs_.messages[0].icon, MsgIcon::Information);
        QTest::mouseClick(window->quitButton(), Qt::LeftButton);
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(currentPrinterOrientation(), 1) << "closing gives the printer back its orientation";
    }
    EXPECT_EQ(getSetting(QStringLiteral("Print"), QStringLiteral("ConfigOrientation")), QStringLiteral("2"));
    EXPECT_EQ(getSetting(QStringLiteral("Print"), QStringLiteral("ConfigNumber")), QStringLiteral("3"));

    const auto again = open();
    EXPECT_EQ(again->orientation(), PageOrientation::Landscape);
    EXPECT_TRUE(again->layoutOption(PageOrientation::Landscape, 3)->isChecked());
    EXPECT_EQ(again->page()->sheet.shape(), (PageShape{3, 2}));
    for (int slot = 1; slot <= 6; ++slot)
        EXPECT_TRUE(again->page()->slotView(slot) && again->page()->slotView(slot)->isVisible()) << slot;
    EXPECT_EQ(again->page()->slotView(7), nullptr);
    // Slots 1 to 3 share the first row, slot 4 starts the second.
    EXPECT_EQ(again->page()->slotView(2)->y(), again->page()->slotView(1)->y());
    EXPECT_GT(again->page()->slotView(4)->y(), again->page()->slotView(1)->y());
    EXPECT_EQ(again->page()->slotView(4)->x(), again->page()->slotView(1)->x());

    // A resize builds the default page again, empty.
    QTest::mouseDClick(again->thumbnail(0), Qt::LeftButton);
    EXPECT_FALSE(again->page()->sheet.slot(1).isEmpty());
    again->resize(1100, 800);
    QCoreApplication::processEvents();
    EXPECT_TRUE(again->page()->sheet.slot(1).isEmpty());
    EXPECT_EQ(again->page()->sheet.shape(), (PageShape{3, 2}));
    EXPECT_EQ(dialogs_.unexpected, 0);
}

// A click on the picture beside an orientation or a layout picks it.
TEST_F(PrintSheetWindowTest, ClickOnAnOptionsPicturePicksTheOption)
{
    makeExam(2);
    const auto window = open();
    const struct {
        const char* picture; // its object name
        PageOrientation orientation;
        int layout;
    } clicks[] = {{"Image2_1", PageOrientation::Landscape, 0}, {"Image4_3", PageOrientation::Landscape, 3},
        {"Image2_0", PageOrientation::Portrait, 0}, {"Image3_2", PageOrientation::Portrait, 2}};
    for (const auto& c : clicks) {
        auto* picture = window->findChild<QLabel*>(QString::fromLatin1(c.picture));
        ASSERT_NE(picture, nullptr) << c.picture;
        QTest::mouseClick(picture, Qt::LeftButton);
        EXPECT_EQ(window->orientation(), c.orientation) << c.picture;
        EXPECT_EQ(window->layoutIndex(), c.layout) << c.picture;
        EXPECT_EQ(window->page()->sheet.shape(), layoutShape(c.orientation, c.layout)) << c.picture;
    }
}

// An exam another workstation deleted meanwhile is not printed: the user is
// told, and nothing goes to the printer.
TEST_F(PrintSheetWindowTest, ExamDeletedElsewhereIsNotPrinted)
{
    makeExam(2);
    const auto window = open();
    QTest::mouseDClick(window->thumbnail(0), Qt::LeftButton);
    ASSERT_TRUE(window->page()->slotView(1)->hasImage());
    for (const char* table : {"DICOMImages", "DICOMSeries"})
        pacs_->exec(QStringLiteral("DELETE FROM %1 WHERE SeriesInst = '%2'")
                        .arg(QLatin1String(table), ExamSeriesUid));
    dialogs_.answerMessage(MsgResult::Ok);
    QTest::mouseClick(window->printButton(), Qt::LeftButton);
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text, examDeletedElsewhereText());
    EXPECT_FALSE(window->lastPrint().printed);
    EXPECT_EQ(dialogs_.unexpected, 0);
}

// The images of the day not printed yet, one patient at a time: DUPONT's two
// waiting images (a third is printed), MARTIN's one of today (another of
// yesterday waits too, but is not of the day); each sheet names its patient.
TEST_F(PrintSheetWindowTest, WaitingImagesComeByPatientAndEachSheetNamesItsPatient)
{
    const QDate today = QDate::currentDate();
    pacs_ = std::make_unique<PacsTestDb>(SqlBackend::Sqlite);
    ASSERT_TRUE(pacs_->ok()) << pacs_->error().toStdString();
    const QString root = folder_.filePath(QStringLiteral("images"));
    std::vector<ExamImage> dupont = numberedImages(3);
    dupont[1].printed = true;
    ASSERT_EQ(writeExam(*pacs_, root, dupont, {.scanDate = today}), QString());
    const ExamPatient martin{QStringLiteral("1.2.3.4"), QStringLiteral("PAT2"), QStringLiteral("MARTIN Léa"),
        QStringLiteral("20261201"), today};
    ASSERT_EQ(writeExam(*pacs_, root, {{QStringLiteral("PAT2/a.dcm")}}, martin), QString());
    ExamPatient yesterday = martin;
    yesterday.seriesUid = QStringLiteral("1.2.3.5");
    yesterday.scanDate = today.addDays(-1);
    ASSERT_EQ(writeExam(*pacs_, root, {{QStringLiteral("PAT2/old.dcm")}}, yesterday), QString());
    appValues().conquestPath = pacs_->path();
    appValues().conquestImagePath = root;
    appValues().imagePrinter = QStringLiteral("no such printer");
    appValues().entete = QStringLiteral("Cabinet");
    sets_.setDatabasePath(pacs_->path());

    const auto waiting = readImagesWaitingToPrint(pacs_->path(), today);
    ASSERT_TRUE(waiting);
    ASSERT_EQ(waiting->size(), 2u);
    const struct {
        QString name;
        QStringList files;
    } expected[] = {{QStringLiteral("DUPONT JEAN"), {"PAT1/image_1.dcm", "PAT1/image_3.dcm"}},
        {QStringLiteral("MARTIN Léa"), {"PAT2/a.dcm"}}};
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ((*waiting)[i].exam.patientName, expected[i].name);
        QStringList files;
        for (const SheetImage& image : (*waiting)[i].images)
            files << image.objectFile;
        EXPECT_EQ(files, expected[i].files);
    }

    PrintSheetWindow window(sets_, *waiting);
    window.resize(1280, 900);
    window.show();
    QCoreApplication::processEvents();
    ASSERT_TRUE(window.patientChoice()->isVisible());
    EXPECT_EQ(window.patientChoice()->count(), 2);
    const auto* banner = window.findChild<QLabel*>(QStringLiteral("Picture3"));
    EXPECT_EQ(banner->text(), QStringLiteral("  Impression des clichés  -  DUPONT JEAN  -  15/03/2026"));
    EXPECT_EQ(window.thumbnailTag(0), QStringLiteral("PAT1/image_1.dcm"));
    EXPECT_EQ(window.thumbnailTag(1), QStringLiteral("PAT1/image_3.dcm"));
    EXPECT_FALSE(window.thumbnail(2)->isVisible());
    QTest::mouseDClick(window.thumbnail(1), Qt::LeftButton);
    EXPECT_EQ(
        window.sheetCaption(), QStringLiteral("Cabinet|Patient: DUPONT JEAN|Date de l'examen: 15/03/2026|"));

    // Another patient drops the unprinted sheet only when the user says so.
    dialogs_.answerMessage(MsgResult::Cancel);
    dialogs_.answerMessage(MsgResult::No);
    window.choosePatient(1);
    EXPECT_EQ(window.patientChoice()->currentIndex(), 0);
    EXPECT_FALSE(window.page()->sheet.slot(1).isEmpty());
    window.choosePatient(1);
    ASSERT_EQ(dialogs_.messages.size(), 2u);
    EXPECT_EQ(dialogs_.messages[1].text, PrintSheetWindow::UnprintedSheetQuestion);
    EXPECT_EQ(window.patientChoice()->currentIndex(), 1);
    EXPECT_TRUE(window.page()->sheet.slot(1).isEmpty()) << "another patient starts an empty sheet";
    EXPECT_EQ(window.seriesUid(), QStringLiteral("1.2.3.4"));
    EXPECT_TRUE(banner->text().contains(QStringLiteral("MARTIN Léa")));
    EXPECT_EQ(window.thumbnailTag(0), QStringLiteral("PAT2/a.dcm"));
    EXPECT_FALSE(window.thumbnail(1)->isVisible());
    QTest::mouseDClick(window.thumbnail(0), Qt::LeftButton);
    EXPECT_EQ(
        window.sheetCaption(), QStringLiteral("Cabinet|Patient: MARTIN Léa|Date de l'examen: 01/12/2026|"));
    EXPECT_EQ(dialogs_.unexpected, 0);
}

// A sheet composed and not printed is not dropped by Escape or the close box
// without a question: Annuler keeps it, Non drops it, Oui prints it first.
// An empty or printed sheet closes at once.
TEST_F(PrintSheetWindowTest, EscapeAndTheCloseBoxAskBeforeDroppingAnUnprintedSheet)
{
    makeExam(2);
    const struct {
        bool escape; // else the close box
        std::vector<MsgResult> answers; // the question's, then the PDF notice's
        bool stays;
        bool printed;
    } cases[] = {
        {true, {MsgResult::Cancel}, true, false},
        {false, {MsgResult::Cancel}, true, false},
        {true, {MsgResult::No}, false, false},
        {false, {MsgResult::Yes, MsgResult::Ok}, false, true},
    };
    for (const auto& c : cases) {
        const auto window = open();
        window->pdfFolder = folder_.filePath(QStringLiteral("pdf"));
        QTest::mouseDClick(window->thumbnail(0), Qt::LeftButton);
        ASSERT_TRUE(window->page()->slotView(1)->hasImage());
        const std::size_t asked = dialogs_.messages.size();
        for (const MsgResult answer : c.answers)
            dialogs_.answerMessage(answer);
        if (c.escape)
            QTest::keyClick(window.get(), Qt::Key_Escape);
        else
            window->close();
        ASSERT_EQ(dialogs_.messages.size(), asked + c.answers.size());
        EXPECT_EQ(dialogs_.messages[asked].text, PrintSheetWindow::UnprintedSheetQuestion);
        EXPECT_EQ(dialogs_.messages[asked].defaultButton, MsgResult::Cancel);
        EXPECT_EQ(window->isVisible(), c.stays);
        EXPECT_EQ(window->lastPrint().printed, c.printed);
        if (c.stays) {
            EXPECT_FALSE(window->page()->sheet.slot(1).isEmpty()) << "the window kept keeps its sheet";
        }
    }
    // Empty, or printed since: no question.
    const auto window = open();
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(dialogs_.unexpected, 0);
}

} // namespace
