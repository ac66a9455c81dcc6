// The viewer window driven like a user: real buttons, mouse and keys on a
// small generated exam, questions answered by script.
#include "viewer/window/ViewerWindow.h"
#include "ScriptedDialogService.h"
#include "TestSeries.h"
#include "base/core/AppValues.h"
#include "base/core/DialogService.h"
#include "base/ui/QtDialogService.h"
#include "dicom/DicomWriter.h"
#include "pacsdb/PacsConnection.h"
#include "pacsdb/QueryCatalogue.h"
#include "pacsdb/RecordSet.h"
#include "viewer/measure/DgrFile.h"
#include "viewer/measure/MeasurementController.h"
#include "viewer/overlay/MeasurementOverlay.h"
#include "viewer/view/DicomView.h"
#include "viewer/window/MeasurePanel.h"
#include "viewer/window/SeriesNavigator.h"

#include <brixel/Button.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QTimer>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <map>

using namespace vexa;

QT_BEGIN_NAMESPACE
// Readable failures for the values these tests compare.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QPoint& point, std::ostream* out)
{
    *out << '(' << point.x() << ", " << point.y() << ')';
}
QT_END_NAMESPACE

namespace {

// Width and height of the first image of a PDF, as poppler's pdfimages lists it.
QSize firstPdfImageSize(const QString& pdf)
{
    QProcess lister;
    lister.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    lister.waitForFinished(30000);
    const QStringList lines = QString::fromUtf8(lister.readAllStandardOutput()).split(QLatin1Char('\n'));
    for (const QString& line : lines.mid(2)) {
        const QStringList fields = line.simplified().split(QLatin1Char(' '));
        if (fields.size() > 4 && fields[2] == QLatin1String("image"))
            return {fields[3].toInt(), fields[4].toInt()};
    }
    return {};
}

class ViewerWindowTest : public ::testing::Test {
protected:
    void SetUp() override { QStandardPaths::setTestModeEnabled(true); }

    void makeSeries(int count, double rowSpacing = 0.5, double columnSpacing = 0.5)
    {
        series_ = makeTestSeries(folder_.path(), count, QSize(200, 240), rowSpacing, columnSpacing);
        ASSERT_TRUE(series_.error.isEmpty()) << series_.error.toStdString();
        appValues().conquestImagePath = series_.imageRoot;
        appValues().imagePrinter.clear();
        appValues().entete = QStringLiteral("Cabinet de radiologie");
        appValues().conquestPath = series_.databasePath;
        images_.setDatabasePath(series_.databasePath);
        images_.setRecordSource(sql::imagesOfSeries(series_.seriesUid));
        ASSERT_TRUE(images_.requery()) << images_.lastError().toStdString();
    }

    std::unique_ptr<ViewerWindow> openSeries(const ViewerRequest& request = {})
    {
        auto viewer = std::make_unique<ViewerWindow>(request, &images_);
        viewer->picturePrinter().setInstalledPrinters(QStringList());
        viewer->picturePrinter().setPdfFolder(QDir(folder_.path()).filePath(QStringLiteral("pdf")));
        viewer->openWindow();
        settle(*viewer);
        return viewer;
    }

    // Images are decoded on a worker thread: waits until the one asked for
    // last is shown.
    static void settle(ViewerWindow& viewer)
    {
        EXPECT_TRUE(QTest::qWaitFor([&viewer] { return !viewer.loading(); }, 10000));
        QCoreApplication::processEvents();
    }

    static void key(ViewerWindow& viewer, Qt::Key which)
    {
        QTest::keyClick(&viewer, which);
        settle(viewer);
    }

    static brixel::Button* button(ViewerWindow& viewer, const char* name)
    {
        auto* found
            = viewer.findChild<brixel::Button*>(QString::fromLatin1(name), Qt::FindChildrenRecursively);
        if (found == nullptr) {
            for (auto* candidate : viewer.findChildren<brixel::Button*>()) {
                if (candidate->objectName().compare(QString::fromLatin1(name), Qt::CaseInsensitive) == 0)
                    return candidate;
            }
        }
        return found;
    }

    static void click(QWidget* widget, QPoint at = {})
    {
        ASSERT_NE(widget, nullptr);
        QTest::mouseClick(widget, Qt::LeftButton, {}, at.isNull() ? widget->rect().center() : at);
        if (auto* viewer = qobject_cast<ViewerWindow*>(widget->window()))
            settle(*viewer);
    }

    // A point of the image on the display, in widget pixels.
    static QPoint onScreen(ViewerWindow& viewer, QPointF image)
    {
        return viewer.display()->imageToScreen(image + QPointF(0.5, 0.5)).toPoint();
    }

    // Opens the window and lets it take its final size, so the image keeps one
    // place on the display while the mouse works on it.
    std::unique_ptr<ViewerWindow> openSettled()
    {
        auto viewer = openSeries();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(viewer.get()));
        QCoreApplication::processEvents();
        return viewer;
    }

    // Opens the measurement panel and chooses a tool button (toolButtons index).
    static void chooseTool(ViewerWindow& viewer, int command)
    {
        click(button(viewer, "Command3"));
        click(viewer.measurePanel()->toolButtons[command]);
    }

    // The pointer goes to an image pixel, then the button is clicked there.
    static void clickImage(ViewerWindow& viewer, QPoint image, Qt::MouseButton which = Qt::LeftButton)
    {
        QWidget* display = viewer.display();
        const QPoint at = onScreen(viewer, image);
        QTest::mouseMove(display, at);
        QTest::mouseClick(display, which, {}, at);
    }

    bool rowPrinted(int row)
    {
        RecordSet check;
        check.setDatabasePath(series_.databasePath);
        check.setRecordSource(sql::imagesOfSeries(series_.seriesUid));
        check.requery();
        check.goTo(row);
        return check.fieldBool(QStringLiteral("Printed"))
            && check.fieldDate(QStringLiteral("PrintDate")) == QDate::currentDate();
    }

    QTemporaryDir folder_;
    TestSeries series_;
    RecordSet images_{QStringLiteral("ConnExamen")};
    ScriptedDialogService dialogs_;
};

TEST_F(ViewerWindowTest, OpensTheFirstImageOfTheSeriesWithItsTitle)
{
    makeSeries(2);
    auto viewer = openSeries();
    EXPECT_EQ(viewer->imagePath(), series_.imagePath(0));
    EXPECT_TRUE(viewer->display()->hasImage());
    EXPECT_EQ(viewer->findChild<QLabel*>(QStringLiteral("Label2"))->text(),
        QStringLiteral("Patient : DUPONT JEAN ; Date de l'examen : 14/03/2026"));
    EXPECT_EQ(viewer->findChild<QLabel*>(QStringLiteral("Label4"))->text(), QStringLiteral("Non"));
    EXPECT_EQ(viewer->display()->pointerTool(), 1);
    EXPECT_EQ(button(*viewer, "Button3_1")->backColor(), QColor(144, 176, 255));
    EXPECT_EQ(button(*viewer, "Button3_2")->backColor(), QColor(192, 192, 192));
    EXPECT_EQ(button(*viewer, "Button9")->toolTipText(), QStringLiteral("Image précédente"));
}

TEST_F(ViewerWindowTest, LeavingAnImageWritesItsMeasurementFileEvenWithoutGraphics)
{
    makeSeries(2);
    auto viewer = openSeries();
    click(button(*viewer, "Button10"));
    EXPECT_EQ(QFileInfo(series_.imagePath(0) + QStringLiteral(".dgr")).size(), 8200);
    EXPECT_EQ(viewer->imagePath(), series_.imagePath(1));
    EXPECT_EQ(viewer->findChild<QLabel*>(QStringLiteral("Label2"))->text(),
        QStringLiteral("Patient : DUPONT JEAN ; Date de l'examen : 15/03/2026"));
    EXPECT_EQ(dialogs_.unexpected, 0);
}

TEST_F(ViewerWindowTest, DistanceAndTextPlacedWithTheMouseAreSavedAndReadBack)
{
    makeSeries(2);
    auto viewer = openSeries();
    QWidget* display = viewer->display();
    click(button(*viewer, "Command3"));
    EXPECT_TRUE(viewer->panelOpen());
    click(viewer->measurePanel()->toolButtons[1]); // distance
    EXPECT_FALSE(viewer->panelOpen());
    click(display, onScreen(*viewer, {20, 30}));
    click(display, onScreen(*viewer, {80, 110}));
    click(button(*viewer, "Command3"));
    viewer->measurePanel()->textEdit->setText(QStringLiteral("Face"));
    click(viewer->measurePanel()->toolButtons[0]); // text
    click(display, onScreen(*viewer, {100, 50}));

    const MeasurementTable& table = viewer->measurements()->table();
    EXPECT_EQ(table[1].kind, MeasurementKind::Distance);
    EXPECT_EQ(QPoint(table[1].x1, table[1].y1), QPoint(20, 30));
    EXPECT_EQ(QPoint(table[1].x2, table[1].y2), QPoint(80, 110));
    EXPECT_EQ(table[2].kind, MeasurementKind::Text);
    ASSERT_NE(viewer->measurements()->scene().graphic(1), nullptr);

    click(button(*viewer, "Button10"));
    click(button(*viewer, "Button9"));
    const MeasurementTable reread = readMeasurementFile(series_.imagePath(0));
    EXPECT_EQ(reread[1].kind, MeasurementKind::Distance);
    EXPECT_EQ(reread[2].kind, MeasurementKind::Text);
    EXPECT_EQ(viewer->measurements()->table()[1].kind, MeasurementKind::Distance)
        << "measurements restored on return";
}

// Measurements that cannot be written are not dropped in silence: the user
// stays on the image with them, or leaves knowing they are lost.
TEST_F(ViewerWindowTest, MeasurementsThatCannotBeSavedAreToldAndKeptOnScreen)
{
    makeSeries(2);
    auto viewer = openSeries();
    chooseTool(*viewer, 1); // distance
    click(viewer->display(), onScreen(*viewer, {20, 30}));
    click(viewer->display(), onScreen(*viewer, {80, 110}));
    ASSERT_TRUE(QDir().mkpath(series_.imagePath(0) + QStringLiteral(".dgr"))); // no file can go there

    dialogs_.answerMessage(MsgResult::No);
    click(button(*viewer, "Button10"));
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_TRUE(
        dialogs_.messages[0].text.startsWith(QStringLiteral("Les mesures de cette image n'ont pas pu")));
    EXPECT_EQ(viewer->imagePath(), series_.imagePath(0));
    EXPECT_EQ(viewer->measurements()->table()[1].kind, MeasurementKind::Distance);
    ASSERT_NE(viewer->measurements()->scene().graphic(1), nullptr);
    EXPECT_TRUE(viewer->findChild<MeasurementOverlay*>()->isVisible());

    dialogs_.answerMessage(MsgResult::No);
    click(button(*viewer, "Button4"));
    EXPECT_FALSE(viewer->isUnloaded());
    dialogs_.answerMessage(MsgResult::Yes);
    click(button(*viewer, "Button10"));
    EXPECT_EQ(viewer->imagePath(), series_.imagePath(1));
    EXPECT_EQ(dialogs_.unexpected, 0);
}

TEST_F(ViewerWindowTest, QuestionsAtBothEndsOfTheSeries)
{
    makeSeries(2);
    auto viewer = openSeries();
    dialogs_.answerMessage(MsgResult::Ok);
    click(button(*viewer, "Button9"));
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text, SeriesNavigator::FirstImageNotice);
    EXPECT_EQ(dialogs_.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(viewer->imagePath(), series_.imagePath(0));

    key(*viewer, Qt::Key_Right);
    EXPECT_EQ(viewer->imagePath(), series_.imagePath(1));
    dialogs_.answerMessage(MsgResult::Yes);
    click(button(*viewer, "Button10"));
    ASSERT_EQ(dialogs_.messages.size(), 2u);
    EXPECT_EQ(dialogs_.messages[1].text, SeriesNavigator::LastImageQuestion);
    EXPECT_EQ(dialogs_.messages[1].defaultButton, MsgResult::No);
    EXPECT_EQ(viewer->imagePath(), series_.imagePath(0)) << "Yes starts the review again";

    click(button(*viewer, "Button10"));
    dialogs_.answerMessage(MsgResult::No);
    click(button(*viewer, "Button10"));
    EXPECT_TRUE(viewer->isUnloaded());
    EXPECT_TRUE(viewer->closingSelf());
    EXPECT_EQ(dialogs_.unexpected, 0);
}

TEST_F(ViewerWindowTest, SeriesOfOneImageReloadsItOnYes)
{
    makeSeries(1);
    auto viewer = openSeries();
    dialogs_.answerMessage(MsgResult::Yes);
    click(button(*viewer, "Button10"));
    EXPECT_FALSE(viewer->isUnloaded());
    EXPECT_EQ(viewer->imagePath(), series_.imagePath(0));
}

TEST_F(ViewerWindowTest, PrintedImageIsMarkedWhenTheUserMovesOn)
{
    makeSeries(2);
    auto viewer = openSeries();
    dialogs_.answerMessage(MsgResult::Ok); // where the PDF went
    click(button(*viewer, "Button7"));
    EXPECT_EQ(viewer->findChild<QLabel*>(QStringLiteral("Label4"))->text(), QStringLiteral("Oui"));
    EXPECT_FALSE(rowPrinted(0)) << "not at print time";
    const QDir pdfFolder(QDir(folder_.path()).filePath(QStringLiteral("pdf")));
    const QStringList pdfs = pdfFolder.entryList({QStringLiteral("*.pdf")});
    ASSERT_EQ(pdfs.size(), 1);
    // The 200 x 240 image fills an A4 page at 300 dpi: drawn from its pixels
    // at the page's resolution, far larger than the screen shows it.
    const QSize drawn = firstPdfImageSize(pdfFolder.filePath(pdfs[0]));
    EXPECT_GT(drawn.height(), 2500);
    EXPECT_NEAR(drawn.width() * 240.0 / drawn.height(), 200.0, 1.0);
    EXPECT_TRUE(dialogs_.messages.back().text.contains(QStringLiteral("pdf")));

    click(button(*viewer, "Button10"));
    EXPECT_TRUE(rowPrinted(0));
    EXPECT_FALSE(rowPrinted(1));
    EXPECT_FALSE(viewer->outcome().printed) << "in series mode the viewer marks its images itself";
}

TEST_F(ViewerWindowTest, PrintedImageIsMarkedWhenTheViewerClosesOnIt)
{
    makeSeries(2);
    auto viewer = openSeries();
    dialogs_.answerMessage(MsgResult::Ok);
    click(button(*viewer, "Button7"));
    click(button(*viewer, "Button4"));
    EXPECT_TRUE(viewer->isUnloaded());
    EXPECT_TRUE(rowPrinted(0));
}

// A page that could not be produced (here the PDF folder cannot be made) is
// not a print: the user is told and nothing is recorded.
// A print then a screen copy in the modal viewer: the screen copy puts the
// window on top and back without ending its modal run, the print is recorded
// on the printed image when the viewer closes, and no flag outlives it.
TEST_F(ViewerWindowTest, PrintFollowedByAScreenCopyIsRecordedOnThePrintedImage)
{
    makeSeries(2);
    ViewerWindow viewer(ViewerRequest{}, &images_);
    viewer.picturePrinter().setInstalledPrinters(QStringList());
    viewer.picturePrinter().setPdfFolder(QDir(folder_.path()).filePath(QStringLiteral("pdf")));
    dialogs_.answerMessage(MsgResult::Ok);
    dialogs_.answerMessage(MsgResult::Ok);
    bool stillOpen = false;
    QTimer::singleShot(200, &viewer, [&] {
        click(button(viewer, "Button7"));
        click(button(viewer, "Button8"));
        QTimer::singleShot(100, &viewer, [&] {
            stillOpen = viewer.isVisible();
            click(button(viewer, "Button4"));
        });
    });
    viewer.exec();
    EXPECT_TRUE(stillOpen) << "the screen copy does not end the viewer";
    EXPECT_TRUE(rowPrinted(0));
    EXPECT_FALSE(rowPrinted(1));
}

TEST_F(ViewerWindowTest, FailedPrintIsToldAndNotRecorded)
{
    makeSeries(2);
    auto viewer = openSeries();
    QFile blocker(QDir(folder_.path()).filePath(QStringLiteral("not-a-folder")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    viewer->picturePrinter().setPdfFolder(QDir(blocker.fileName()).filePath(QStringLiteral("pdf")));
    dialogs_.answerMessage(MsgResult::Ok);
    click(button(*viewer, "Button7"));
    EXPECT_EQ(viewer->findChild<QLabel*>(QStringLiteral("Label4"))->text(), QStringLiteral("Non"));
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_TRUE(dialogs_.messages.back().text.contains(QStringLiteral("échoué")));
    click(button(*viewer, "Button4"));
    EXPECT_FALSE(rowPrinted(0));
}

TEST_F(ViewerWindowTest, SingleImageModeHasNoNavigation)
{
    makeSeries(2);
    auto viewer = openSeries({.exam = {.patientName = QStringLiteral("MARTIN")},
        .imagePath = series_.imagePath(1),
        .start = ViewerRequest::Start::SingleFile});
    EXPECT_FALSE(button(*viewer, "Button9")->isVisible());
    EXPECT_FALSE(button(*viewer, "Button10")->isVisible());
    EXPECT_FALSE(viewer->findChild<QWidget*>(QStringLiteral("Frame3"))->isVisible());
    key(*viewer, Qt::Key_Left);
    key(*viewer, Qt::Key_Right);
    EXPECT_EQ(viewer->imagePath(), series_.imagePath(1));
    EXPECT_TRUE(dialogs_.messages.empty());

    dialogs_.answerMessage(MsgResult::No);
    key(*viewer, Qt::Key_Escape);
    EXPECT_FALSE(viewer->isUnloaded());
    dialogs_.answerMessage(MsgResult::Yes);
    key(*viewer, Qt::Key_Escape);
    EXPECT_EQ(dialogs_.messages.back().text, QStringLiteral("Voulez-vous quitter le visualisateur ?"));
    EXPECT_TRUE(viewer->isUnloaded());
    EXPECT_TRUE(QFileInfo::exists(series_.imagePath(1) + QStringLiteral(".dgr")));
}

TEST_F(ViewerWindowTest, ZoomToggleAndSlider)
{
    makeSeries(1);
    auto viewer = openSeries();
    auto* slider = viewer->findChild<QSlider*>(QStringLiteral("Slider1"));
    auto* zoom = viewer->findChild<QLabel*>(QStringLiteral("lbZoom"));
    EXPECT_FALSE(slider->isEnabled());
    EXPECT_TRUE(viewer->display()->fitMode());

    click(button(*viewer, "Button2"));
    EXPECT_TRUE(slider->isEnabled());
    EXPECT_FALSE(viewer->display()->fitMode());
    EXPECT_EQ(viewer->display()->zoomLevel(), 100);
    EXPECT_EQ(zoom->text(), QStringLiteral("100%"));
    slider->setValue(150);
    EXPECT_EQ(viewer->display()->zoomLevel(), 150);
    EXPECT_EQ(zoom->text(), QStringLiteral("150%"));
    EXPECT_EQ(viewer->display()->pointerTool(), 4) << "a manual zoom selects the move mode";

    click(button(*viewer, "Button2"));
    EXPECT_FALSE(slider->isEnabled());
    EXPECT_TRUE(viewer->display()->fitMode());
    EXPECT_EQ(viewer->display()->pointerTool(), 1);
}

TEST_F(ViewerWindowTest, InvertAndDicomDataToggle)
{
    makeSeries(1);
    auto viewer = openSeries();
    const int polarity = viewer->display()->polarity();
    click(button(*viewer, "Button5"));
    EXPECT_EQ(viewer->display()->polarity(), -polarity);
    // The data text alone, its first line uncovered by the indicator.
    const auto* indicator = viewer->findChild<QLabel*>(QStringLiteral("indicator"));
    click(button(*viewer, "Button1"));
    EXPECT_TRUE(viewer->display()->showTags());
    EXPECT_FALSE(viewer->findChild<QWidget*>(QStringLiteral("VexaLine"))->isVisible());
    EXPECT_FALSE(indicator->isVisible());
    click(button(*viewer, "Button1"));
    EXPECT_FALSE(viewer->display()->showTags());
    EXPECT_TRUE(viewer->findChild<QWidget*>(QStringLiteral("VexaLine"))->isVisible());
    EXPECT_TRUE(indicator->isVisible());
}

TEST_F(ViewerWindowTest, ScreenCopyKeepsTheVisibleImageSize)
{
    makeSeries(1);
    auto viewer = openSeries();
    dialogs_.answerMessage(MsgResult::Ok);
    click(button(*viewer, "Button8"));
    const QImage copy(ViewerWindow::screenCopyPath());
    ASSERT_FALSE(copy.isNull());
    // Every device pixel of the area, also on a HiDPI screen (the test runs
    // again with QT_SCALE_FACTOR=2): compare pixels across the whole copy.
    const QImage shown = viewer->grab(viewer->screenCopyArea()).toImage();
    ASSERT_EQ(copy.size(), shown.size());
    EXPECT_EQ(shown.size(), viewer->screenCopyArea().size() * viewer->devicePixelRatio());
    int differing = 0;
    for (int y = 0; y < copy.height(); y += 7)
        for (int x = 0; x < copy.width(); x += 7)
            differing += copy.pixel(x, y) != shown.pixel(x, y);
    EXPECT_EQ(differing, 0);
    click(button(*viewer, "Button4"));
    EXPECT_FALSE(rowPrinted(0)) << "a screen copy does not count as printing the image";
}

// The screen copy puts the viewer on top and takes the focus from it; the
// message that follows (where the PDF went) is the viewer's, above it and
// active, not hidden under it.
TEST_F(ViewerWindowTest, MessageOfATopmostViewerIsTheActiveWindowAboveIt)
{
    makeSeries(1);
    auto viewer = openSettled();
    QtDialogService onScreen;
    setDialogService(&onScreen);
    QWidget* parent = nullptr;
    bool visible = false, active = false, onTop = false, viewerOnTop = false;
    const auto check = std::make_shared<std::function<void()>>();
    *check = [&, check] {
        // The message, not the viewer nor the waiting window of the print.
        QWidget* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            QTimer::singleShot(20, *check);
            return;
        }
        active = QTest::qWaitFor([box] { return QApplication::activeWindow() == box; }, 2000);
        parent = box->parentWidget();
        visible = box->isVisible();
        onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        viewerOnTop = viewer->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        QTest::keyClick(box, Qt::Key_Return);
    };
    QTimer::singleShot(20, *check);
    click(button(*viewer, "Button8"));
    setDialogService(&dialogs_);
    EXPECT_EQ(parent, viewer.get());
    EXPECT_TRUE(visible);
    EXPECT_TRUE(active);
    EXPECT_TRUE(onTop) << "a stay-on-top viewer keeps its message above it";
    EXPECT_TRUE(viewerOnTop);
}

// Paging as in every viewer: Page Down/Up, Home/End, the wheel; Ctrl+wheel
// and +/- zoom; the keys 1 to 5 apply the presets (here the file's own
// window, the only one a radiograph brings); the indicator follows.
TEST_F(ViewerWindowTest, IndicatorPagingKeysWheelAndPresets)
{
    makeSeries(3);
    auto viewer = openSettled();
    DicomView* display = viewer->display();
    const auto* indicator = viewer->findChild<QLabel*>(QStringLiteral("indicator"));
    ASSERT_NE(indicator, nullptr);
    const auto position = [&] { return indicator->text().section(QLatin1Char('\n'), 0, 0); };
    EXPECT_EQ(position(), "image 1 / 3");
    EXPECT_TRUE(indicator->isVisible());
    const auto wheel = [&](int delta, Qt::KeyboardModifiers modifiers) {
        const QPointF at = display->rect().center();
        QWheelEvent event(
            at, display->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(display, &event);
        settle(*viewer);
    };

    key(*viewer, Qt::Key_PageDown);
    EXPECT_EQ(viewer->imagePath(), series_.imagePath(1));
    EXPECT_EQ(position(), "image 2 / 3");
    key(*viewer, Qt::Key_End);
    EXPECT_EQ(position(), "image 3 / 3");
    key(*viewer, Qt::Key_Home);
    EXPECT_EQ(viewer->imagePath(), series_.imagePath(0));
    wheel(-120, Qt::NoModifier); // towards the user: next image
    EXPECT_EQ(position(), "image 2 / 3");
    key(*viewer, Qt::Key_PageUp);
    EXPECT_EQ(position(), "image 1 / 3");

    const int zoom = display->zoomLevel();
    wheel(120, Qt::ControlModifier);
    EXPECT_GT(display->zoomLevel(), zoom);
    EXPECT_EQ(position(), "image 1 / 3") << "Ctrl+wheel zooms, it does not page";
    const int zoomed = display->zoomLevel();
    key(*viewer, Qt::Key_Minus);
    EXPECT_LT(display->zoomLevel(), zoomed);
    key(*viewer, Qt::Key_Plus);
    EXPECT_NEAR(display->zoomLevel(), zoomed, 1);

    display->setWindow({10, 20});
    EXPECT_TRUE(indicator->text().endsWith("C 10  L 20")) << indicator->text().toStdString();
    key(*viewer, Qt::Key_1);
    const VoiWindow own = display->imageData()->defaultWindow;
    EXPECT_EQ(display->window().center, own.center);
    EXPECT_TRUE(indicator->text().endsWith(QStringLiteral("(fenêtre du fichier)")));
    EXPECT_EQ(dialogs_.unexpected, 0);
}

// A file of three frames (frame f worth 1000 f more than the first) with two
// named windows, in place of the series' first image.
void writeThreeFrames(const QString& path)
{
    NewDicomImage image;
    image.patientName = QStringLiteral("DUPONT^JEAN");
    image.studyInstanceUid = newDicomUid();
    image.seriesInstanceUid = newDicomUid();
    image.sopInstanceUid = newDicomUid();
    image.sopClassUid = sop_class::XRayAngiographic;
    image.modality = QStringLiteral("XA");
    image.columns = 200;
    image.rows = 240;
    image.frames = 3;
    for (int frame = 0; frame < 3; ++frame)
        for (int i = 0; i < 200 * 240; ++i) {
            const int value = 1000 * frame + i % 200;
            image.pixelData.append(char(value & 0xFF)).append(char(value >> 8));
        }
    image.moreElements = {QStringLiteral("(0028,1050)=2000\\500"), QStringLiteral("(0028,1051)=4000\\300"),
        QStringLiteral("(0028,1055)=OS\\PARTIES MOLLES")};
    ASSERT_TRUE(writeDicomImage(image, path, DicomFileLayout::WithMetaHeader).ok);
}

// The wheel and the up and down arrows page through the frames, each read
// when shown, the wheel going on through the series past the last frame; F
// cycles through the file's windows, which are also the keys 1 to 5.
TEST_F(ViewerWindowTest, FramesAndTheFilesWindows)
{
    makeSeries(2);
    writeThreeFrames(series_.imagePath(0));
    auto viewer = openSettled();
    DicomView* display = viewer->display();
    const auto* indicator = viewer->findChild<QLabel*>(QStringLiteral("indicator"));
    ASSERT_NE(indicator, nullptr);
    const auto line = [&](int n) { return indicator->text().section(QLatin1Char('\n'), n, n); };
    const auto wheel = [&](int delta) {
        const QPointF at = display->rect().center();
        QWheelEvent event(
            at, display->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(display, &event);
        settle(*viewer);
    };
    EXPECT_EQ(line(0), "image 1 / 2  trame 1 / 3");
    EXPECT_EQ(line(1), "C 2000  L 4000  (OS)");
    EXPECT_EQ(display->imageData()->valueAt(5, 0), 5);

    wheel(-120);
    EXPECT_EQ(display->currentFrame(), 1);
    EXPECT_EQ(display->imageData()->valueAt(5, 0), 1005);
    key(*viewer, Qt::Key_F);
    EXPECT_EQ(line(1), "C 500  L 300  (PARTIES MOLLES)");
    key(*viewer, Qt::Key_Down);
    EXPECT_EQ(line(0), "image 1 / 2  trame 3 / 3");
    EXPECT_EQ(display->imageData()->valueAt(5, 0), 2005);
    EXPECT_EQ(display->window().center, 500) << "the window stays from frame to frame";
    key(*viewer, Qt::Key_Down); // the last frame: the arrows stop there
    EXPECT_EQ(viewer->imagePath(), series_.imagePath(0));
    key(*viewer, Qt::Key_F);
    EXPECT_EQ(line(1), "C 2000  L 4000  (OS)");
    key(*viewer, Qt::Key_2);
    EXPECT_EQ(line(1), "C 500  L 300  (PARTIES MOLLES)");
    key(*viewer, Qt::Key_Up);
    EXPECT_EQ(display->currentFrame(), 1);

    wheel(-2 * 120); // one frame left, then the wheel stops at the end of the file
    EXPECT_EQ(display->currentFrame(), 2);
    EXPECT_EQ(viewer->imagePath(), series_.imagePath(0));
    wheel(-120); // past the last frame: the next image
    EXPECT_EQ(viewer->imagePath(), series_.imagePath(1));
    EXPECT_EQ(line(0), "image 2 / 2");
    wheel(120);
    EXPECT_EQ(viewer->imagePath(), series_.imagePath(0));
    EXPECT_EQ(display->currentFrame(), 0) << "an image opens on its first frame";
    EXPECT_EQ(dialogs_.unexpected, 0);
}

// Pixels inside a button's border that are not its background (the most
// frequent colour there): its icon.
int iconPixels(QWidget* button)
{
    const QImage shown = button->grab().toImage();
    const QRect inner = shown.rect().adjusted(4, 4, -4, -4);
    std::map<QRgb, int> counts;
    for (int y = inner.top(); y <= inner.bottom(); ++y)
        for (int x = inner.left(); x <= inner.right(); ++x)
            ++counts[shown.pixel(x, y)];
    int background = 0;
    for (const auto& [colour, count] : counts)
        background = std::max(background, count);
    return inner.width() * inner.height() - background;
}

// Every button of the tool column keeps its icon while pressed, and the two
// toggles while they stay sunk.
TEST_F(ViewerWindowTest, PressedToolButtonsKeepTheirIcons)
{
    makeSeries(1);
    auto viewer = openSettled();
    for (const char* name :
        {"Button3_1", "Button3_2", "Button3_3", "Button3_4", "Button3_5", "Button5", "Button6", "Button1",
            "Button2", "Command3", "Button7", "Button8", "Button9", "Button10", "Button4"}) {
        SCOPED_TRACE(name);
        brixel::Button* pressed = button(*viewer, name);
        ASSERT_NE(pressed, nullptr);
        const int idle = iconPixels(pressed);
        EXPECT_GT(idle, 30);
        QTest::mousePress(pressed, Qt::LeftButton, {}, pressed->rect().center());
        EXPECT_GT(iconPixels(pressed), idle / 2) << "while the mouse button is down";
        // Released off the button: a momentary button does nothing, a toggle stays sunk.
        QTest::mouseRelease(pressed, Qt::LeftButton, {}, QPoint(-40, -40));
        if (pressed->value()) {
            EXPECT_GT(iconPixels(pressed), idle / 2) << "sunk";
            click(pressed);
        }
    }
    EXPECT_FALSE(viewer->isUnloaded());
    EXPECT_EQ(dialogs_.unexpected, 0);
}

TEST_F(ViewerWindowTest, MeasurePanelCaptionsFitTheirButtons)
{
    makeSeries(1);
    auto viewer = openSeries();
    for (QPushButton* tool : viewer->measurePanel()->toolButtons)
        EXPECT_LE(QFontMetrics(tool->font()).horizontalAdvance(tool->text()), tool->width() - 8)
            << tool->text().toStdString();
}

// Columns 0.5 mm apart, rows 0.25 mm apart: a measurement that swaps the two
// spacings, or reads the wrong clicks, gives another text.
constexpr double RowSpacing = 0.25;
constexpr double ColumnSpacing = 0.5;

using Command = MeasurementController::PanelCommand;

struct PlacementCase {
    const char* name;
    Command tool;
    std::vector<QPoint> clicks; // image pixels, in click order
    MeasurementKind kind;
    QString label;
    bool staysArmed; // distance and angles start a new graphic after each one
};

TEST_F(ViewerWindowTest, EachToolIsPlacedByMouseClicksAndLabelledWithItsResult)
{
    const std::vector<PlacementCase> cases{
        // dx = 60 x 0.5 = 30, dy = 80 x 0.25 = 20: sqrt(1300) = 36.0555
        {"distance", Command::Distance, {{20, 30}, {80, 110}}, MeasurementKind::Distance,
            QStringLiteral("36,06 mm"), true},
        {"distance on one pixel", Command::Distance, {{50, 50}, {50, 50}}, MeasurementKind::Distance,
            QStringLiteral("0,00 mm"), true},
        // only the rows count: 80 x 0.25, whatever the second click's column
        {"height difference", Command::HeightDifference, {{40, 20}, {150, 100}},
            MeasurementKind::HeightDifference, QStringLiteral("20,00 mm"), false},
        {"angle at a vertex", Command::VertexAngle, {{110, 105}, {100, 100}, {97, 107}},
            MeasurementKind::VertexAngle, QStringLiteral(" 86,63 ° "), true},
        {"straight angle at a vertex", Command::VertexAngle, {{110, 100}, {100, 100}, {90, 100}},
            MeasurementKind::VertexAngle, QStringLiteral(" 180,00 ° "), true},
        {"angle between two lines", Command::LinesAngle, {{20, 100}, {120, 100}, {30, 150}, {130, 50}},
            MeasurementKind::LinesAngle, QStringLiteral(" 45,00 ° "), true},
        {"both lines clicked right to left", Command::LinesAngle,
            {{120, 100}, {20, 100}, {130, 50}, {30, 150}}, MeasurementKind::LinesAngle,
            QStringLiteral(" 45,00 ° "), true},
        {"text", Command::Text, {{100, 50}}, MeasurementKind::Text, QStringLiteral("Face"), false},
    };
    makeSeries(1, RowSpacing, ColumnSpacing);
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(measurementFilePath(series_.imagePath(0)));
        auto viewer = openSettled();
        ASSERT_GE(viewer->display()->zoomLevel(), 100) << "every image pixel has its own screen pixel";
        MeasurementController& measures = *viewer->measurements();
        measures.setLocale(QLocale(QLocale::French, QLocale::France));
        viewer->measurePanel()->textEdit->setText(QStringLiteral("Face"));
        chooseTool(*viewer, int(c.tool));
        ASSERT_EQ(measures.state().currentSlot, 1);
        for (std::size_t i = 0; i + 1 < c.clicks.size(); ++i) {
            clickImage(*viewer, c.clicks[i]);
            EXPECT_EQ(measures.state().step, int(i) + 1) << "after click " << i + 1;
            EXPECT_TRUE(measures.table()[1].label.isEmpty()) << "no result before the last point";
        }
        clickImage(*viewer, c.clicks.back());

        const MeasurementTable placedTable = measures.table();
        const MeasurementRecord& placed = placedTable[1];
        EXPECT_EQ(placed.kind, c.kind);
        EXPECT_EQ(QPoint(placed.x1, placed.y1), c.clicks.front());
        EXPECT_EQ(placed.label, c.label);
        const SceneGraphic* shown = measures.scene().graphic(1);
        ASSERT_NE(shown, nullptr);
        ASSERT_TRUE(shown->text.has_value());
        EXPECT_EQ(shown->text->text, c.label) << "the label is drawn on the image";
        EXPECT_EQ(measures.state().step, 0);
        EXPECT_EQ(measures.state().currentSlot, 2);
        EXPECT_EQ(measures.state().tool != MeasureTool::None, c.staysArmed);

        click(button(*viewer, "Button4")); // closing writes the measurement file
        EXPECT_EQ(readMeasurementFile(series_.imagePath(0)),
            decodeMeasurementTable(encodeMeasurementTable(placedTable)));
    }
    EXPECT_EQ(dialogs_.unexpected, 0);
}

// Yellow label pixels in the box where a label drawn at a point would lie.
int labelPixelsAt(const QImage& shown, QPointF point)
{
    int yellow = 0;
    for (int y = int(point.y()) - 22; y < int(point.y()) - 3; ++y)
        for (int x = int(point.x()) + 4; x < int(point.x()) + 64; ++x) {
            const QColor c = shown.pixelColor(x, y);
            yellow += c.red() > 200 && c.green() > 200 && c.blue() < 100;
        }
    return yellow;
}

// Users double-click points out of habit, and X delivers a double click as
// press, release, double click, release. Its second half is no second click:
// each point is placed once and the one label is drawn where the angle ends,
// not "0,00 °" labels of points placed twice.
TEST_F(ViewerWindowTest, DoubleClickedPointsArePlacedOnceAndLabelledOnce)
{
    makeSeries(1, RowSpacing, ColumnSpacing);
    auto viewer = openSettled();
    MeasurementController& measures = *viewer->measurements();
    measures.setLocale(QLocale(QLocale::French, QLocale::France));
    QWidget* display = viewer->display();
    const std::vector<QPoint> points{{30, 120}, {100, 120}, {160, 200}}; // no line crosses a label's box
    chooseTool(*viewer, int(Command::VertexAngle));
    for (const QPoint point : points) {
        const QPoint at = onScreen(*viewer, point);
        QTest::mouseMove(display, at);
        QTest::mouseClick(display, Qt::LeftButton, {}, at);
        QMouseEvent second(QEvent::MouseButtonDblClick, at, display->mapToGlobal(at), Qt::LeftButton,
            Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(display, &second);
        QTest::mouseRelease(display, Qt::LeftButton, {}, at);
    }
    const MeasurementRecord& angle = measures.table()[1];
    EXPECT_EQ(angle.kind, MeasurementKind::VertexAngle);
    EXPECT_EQ(QPoint(angle.x2, angle.y2), points[1]);
    EXPECT_EQ(angle.label, measures.labelFor(angle));
    EXPECT_NE(angle.label, QStringLiteral(" 0,00 ° "));
    EXPECT_EQ(measures.table().lastUsedSlot(), 1) << "no graphic started by the last double click";

    QCoreApplication::processEvents();
    const QImage shown = display->grab().toImage();
    EXPECT_EQ(labelPixelsAt(shown, onScreen(*viewer, points[1])), 0) << "a label drawn at the vertex";
    EXPECT_GT(labelPixelsAt(shown, onScreen(*viewer, points[2])), 20) << "the angle's label where it ends";
    EXPECT_EQ(dialogs_.unexpected, 0);
}

struct CancelCase {
    const char* name;
    Command tool;
    std::vector<QPoint> clicks; // points placed before the right click
};

// A completed distance sits in slot 1; the half-made graphic takes slot 2.
TEST_F(ViewerWindowTest, RightClickCancelsTheGraphicBeingPlaced)
{
    const std::vector<CancelCase> cases{
        {"distance after its first point", Command::Distance, {{100, 150}}},
        {"angle at a vertex after two points", Command::VertexAngle, {{100, 150}, {150, 150}}},
        {"two lines after three points", Command::LinesAngle, {{100, 150}, {150, 150}, {100, 200}}},
        {"height difference before its first point", Command::HeightDifference, {}},
    };
    makeSeries(2, RowSpacing, ColumnSpacing);
    MeasurementTable kept;
    kept[1].kind = MeasurementKind::Distance;
    kept[1].x1 = 20;
    kept[1].y1 = 30;
    kept[1].x2 = 80;
    kept[1].y2 = 110;
    kept[1].label = QStringLiteral("36,06 mm");
    for (const CancelCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeMeasurementFile(series_.imagePath(0), kept));
        auto viewer = openSettled();
        MeasurementController& measures = *viewer->measurements();
        chooseTool(*viewer, int(c.tool));
        ASSERT_EQ(measures.state().currentSlot, 2);
        for (const QPoint& point : c.clicks)
            clickImage(*viewer, point);
        QTest::mouseMove(viewer->display(), onScreen(*viewer, {170, 210}));
        ASSERT_NE(measures.scene().graphic(2), nullptr) << "points or rubber band shown before the cancel";

        clickImage(*viewer, {170, 210}, Qt::RightButton);
        EXPECT_EQ(measures.scene().graphic(2), nullptr) << "nothing of it left on the image";
        EXPECT_FALSE(measures.table()[2].isUsed());
        EXPECT_EQ(measures.state().currentSlot, 2) << "the next free slot stays the same";
        EXPECT_EQ(measures.state().tool, MeasureTool::None);
        EXPECT_EQ(measures.state().step, 0);
        EXPECT_EQ(measures.cursor(), Qt::ArrowCursor);
        EXPECT_EQ(measures.table()[1], kept[1]);
        EXPECT_NE(measures.scene().graphic(1), nullptr);

        clickImage(*viewer, {60, 60});
        EXPECT_FALSE(measures.table()[2].isUsed()) << "the tool is no longer armed";
        click(button(*viewer, "Button10"));
        EXPECT_EQ(readMeasurementFile(series_.imagePath(0)), kept) << "the file holds nothing of it";
        click(button(*viewer, "Button4"));
    }
    EXPECT_EQ(dialogs_.unexpected, 0);
}

TEST_F(ViewerWindowTest, DraggingAHandleRecomputesTheDistance)
{
    makeSeries(2, RowSpacing, ColumnSpacing);
    auto viewer = openSettled();
    QWidget* display = viewer->display();
    MeasurementController& measures = *viewer->measurements();
    measures.setLocale(QLocale(QLocale::French, QLocale::France));
    chooseTool(*viewer, int(Command::Distance));
    clickImage(*viewer, {20, 30});
    clickImage(*viewer, {80, 110});
    ASSERT_EQ(measures.table()[1].label, QStringLiteral("36,06 mm"));
    ASSERT_NE(measures.state().tool, MeasureTool::None) << "the distance tool stays armed";

    // The second point's square, dragged from (80, 110) through (50, 110) to (56, 126).
    QTest::mousePress(display, Qt::LeftButton, {}, onScreen(*viewer, {80, 110}));
    QTest::mouseMove(display, onScreen(*viewer, {50, 110}));
    const SceneGraphic* shown = measures.scene().graphic(1);
    ASSERT_NE(shown, nullptr);
    ASSERT_TRUE(shown->text.has_value());
    EXPECT_EQ(shown->text->text, QStringLiteral("25,00 mm")) << "the label follows the drag";
    EXPECT_EQ(QPoint(measures.table()[1].x2, measures.table()[1].y2), QPoint(80, 110))
        << "the stored point changes on release";
    QTest::mouseMove(display, onScreen(*viewer, {56, 126}));
    QTest::mouseRelease(display, Qt::LeftButton, {}, onScreen(*viewer, {56, 126}));

    const MeasurementRecord& dragged = measures.table()[1];
    EXPECT_EQ(QPoint(dragged.x1, dragged.y1), QPoint(20, 30));
    EXPECT_EQ(QPoint(dragged.x2, dragged.y2), QPoint(56, 126));
    // dx = 36 x 0.5 = 18, dy = 96 x 0.25 = 24
    EXPECT_EQ(dragged.label, QStringLiteral("30,00 mm"));
    shown = measures.scene().graphic(1);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->text->text, QStringLiteral("30,00 mm"));
    EXPECT_FALSE(measures.table()[2].isUsed()) << "the drag placed no point of a new distance";
    EXPECT_EQ(measures.state().step, 0);

    click(button(*viewer, "Button10"));
    EXPECT_EQ(readMeasurementFile(series_.imagePath(0))[1].label, QStringLiteral("30,00 mm"));
    EXPECT_EQ(dialogs_.unexpected, 0);
}

// At 800 % an image pixel spans 8 screen pixels: the handle's square answers
// wherever the pointer is on it, and the point keeps its offset from the
// pointer through the drag.
TEST_F(ViewerWindowTest, HandleAnswersOverItsWholeSquareAtHighZoom)
{
    makeSeries(1);
    auto viewer = openSettled();
    DicomView* display = viewer->display();
    MeasurementController& measures = *viewer->measurements();
    chooseTool(*viewer, int(Command::Distance));
    clickImage(*viewer, {20, 30});
    clickImage(*viewer, {80, 110});
    display->setZoomLevel(800);
    const QPointF centre = display->imageToScreen({80, 110});
    display->setOffsets(display->offsetX() + int(centre.x()) - display->width() / 2,
        display->offsetY() + int(centre.y()) - display->height() / 2);

    const QPoint onSquare(-3, -1); // the middle of the 5 x 5 square, left of and above its point
    const QPoint from = display->imageToScreen({80, 110}).toPoint() + onSquare;
    const QPoint to = display->imageToScreen({78, 107}).toPoint() + onSquare;
    QTest::mousePress(display, Qt::LeftButton, {}, from);
    QTest::mouseMove(display, to);
    QTest::mouseRelease(display, Qt::LeftButton, {}, to);
    EXPECT_EQ(QPoint(measures.table()[1].x2, measures.table()[1].y2), QPoint(78, 107));
    EXPECT_FALSE(measures.table()[2].isUsed()) << "the press caught the handle, not a new point";
}

TEST_F(ViewerWindowTest, FiftiethGraphicIsTheLastTheImageTakes)
{
    const QString overloaded = QStringLiteral("Votre image est surchargée ! Veuillez supprimer des mesures.");
    makeSeries(2, RowSpacing, ColumnSpacing);
    MeasurementTable stored;
    for (int i = 1; i < MeasurementTable::Size; ++i) {
        stored[i].kind = MeasurementKind::Text;
        stored[i].x1 = int16_t(10 + 2 * i);
        stored[i].y1 = 10;
        stored[i].x2 = 10;
        stored[i].label = QStringLiteral("T%1").arg(i);
    }
    ASSERT_TRUE(writeMeasurementFile(series_.imagePath(0), stored));
    auto viewer = openSettled();
    MeasurementController& measures = *viewer->measurements();
    chooseTool(*viewer, int(Command::Distance));
    ASSERT_EQ(measures.state().currentSlot, 50);
    clickImage(*viewer, {100, 150});
    clickImage(*viewer, {150, 200});
    ASSERT_EQ(measures.table()[50].kind, MeasurementKind::Distance);
    EXPECT_TRUE(dialogs_.messages.empty());
    const MeasurementTable full = measures.table();

    // The distance tool is still armed, but there is no slot for a 51st graphic.
    dialogs_.answerMessage(MsgResult::Ok);
    clickImage(*viewer, {120, 180});
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text, overloaded);
    EXPECT_EQ(dialogs_.messages[0].title, QStringLiteral("Mesures..."));
    EXPECT_EQ(dialogs_.messages[0].icon, MsgIcon::Exclamation);
    clickImage(*viewer, {130, 190});
    EXPECT_EQ(dialogs_.messages.size(), 1u) << "the tool was disarmed";
    EXPECT_EQ(measures.table(), full);

    // A tool chosen on the panel is refused and the panel stays out.
    dialogs_.answerMessage(MsgResult::Ok);
    chooseTool(*viewer, int(Command::VertexAngle));
    ASSERT_EQ(dialogs_.messages.size(), 2u);
    EXPECT_EQ(dialogs_.messages[1].text, overloaded);
    EXPECT_TRUE(viewer->panelOpen());
    EXPECT_EQ(measures.state().tool, MeasureTool::None);
    // A preset text fills the boxes without arming the text tool.
    click(viewer->measurePanel()->presetButtons[0]);
    EXPECT_EQ(viewer->measurePanel()->textEdit->text(), QStringLiteral("D"));
    EXPECT_EQ(measures.state().tool, MeasureTool::None);
    clickImage(*viewer, {60, 200});
    EXPECT_EQ(measures.table(), full);

    click(button(*viewer, "Button10"));
    EXPECT_EQ(readMeasurementFile(series_.imagePath(0)), full);
    EXPECT_EQ(dialogs_.messages.size(), 2u);
    EXPECT_EQ(dialogs_.unexpected, 0);
}

// A file slow to read (very many private elements) is decoded on a worker
// thread: the window answers meanwhile, prints nothing it does not show yet,
// and closes while the file is read; the late result reaches no window.
TEST_F(ViewerWindowTest, SlowFileKeepsTheWindowAnsweringAndClosesWhileLoading)
{
    makeSeries(2);
    ASSERT_EQ(addPrivateElements(series_.imagePath(0), 180000), QString());
    auto viewer = std::make_unique<ViewerWindow>(ViewerRequest{}, &images_);
    viewer->picturePrinter().setInstalledPrinters(QStringList());
    const QDir pdfFolder(QDir(folder_.path()).filePath(QStringLiteral("pdf")));
    viewer->picturePrinter().setPdfFolder(pdfFolder.path());
    viewer->openWindow();
    ASSERT_TRUE(viewer->loading());
    bool answered = false;
    QTimer::singleShot(0, viewer.get(), [&answered] { answered = true; });
    EXPECT_TRUE(QTest::qWaitFor([&answered] { return answered; }, 5000));
    EXPECT_TRUE(viewer->loading()) << "the posted event was served while the file was read";

    QTest::mouseClick(button(*viewer, "Button7"), Qt::LeftButton);
    QTest::mouseClick(button(*viewer, "Button4"), Qt::LeftButton);
    EXPECT_TRUE(viewer->isUnloaded());
    EXPECT_FALSE(viewer->loading());
    viewer.reset();
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    EXPECT_TRUE(pdfFolder.entryList({QStringLiteral("*.pdf")}).isEmpty())
        << "nothing printed before it showed";
    EXPECT_FALSE(QFileInfo::exists(series_.imagePath(0) + QStringLiteral(".dgr")))
        << "no measurements written for an image never shown";
    EXPECT_TRUE(dialogs_.messages.empty());

    // Shown once it is read, with its own values.
    viewer = openSeries();
    EXPECT_EQ(viewer->display()->displayFile(), series_.imagePath(0));
    EXPECT_EQ(viewer->display()->imageSize(), QSize(200, 240));
}

// Keys pressed faster than the images decode: only the image asked for last
// is shown, the ones passed over never are, nor get measurement files.
TEST_F(ViewerWindowTest, QuickChangesShowOnlyTheLastImageAskedFor)
{
    makeSeries(5);
    auto viewer = openSeries();
    QStringList shown;
    QObject::connect(viewer->display(), &DicomView::displayChanged, viewer.get(), [&] {
        const QString file = viewer->display()->displayFile();
        if (shown.isEmpty() || shown.back() != file)
            shown << file;
    });
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(viewer.get(), Qt::Key_PageDown);
    EXPECT_EQ(viewer->imagePath(), series_.imagePath(3));
    settle(*viewer);
    EXPECT_EQ(shown, QStringList{series_.imagePath(3)});
    EXPECT_EQ(
        viewer->findChild<QLabel*>(QStringLiteral("indicator"))->text().section(QLatin1Char('\n'), 0, 0),
        QStringLiteral("image 4 / 5"));
    for (const int passed : {1, 2})
        EXPECT_FALSE(QFileInfo::exists(series_.imagePath(passed) + QStringLiteral(".dgr"))) << passed;
    EXPECT_TRUE(QFileInfo::exists(series_.imagePath(0) + QStringLiteral(".dgr")));
    EXPECT_EQ(dialogs_.unexpected, 0);
}

// Another workstation deletes the image shown and a new patient's image
// arrives (on an older database it could take the deleted row's number): the
// viewer says the image is gone instead of printing it, and the print made
// before is written on nobody.
TEST_F(ViewerWindowTest, ImageDeletedElsewhereIsNeitherPrintedNorMarked)
{
    makeSeries(2);
    auto viewer = openSeries();
    click(button(*viewer, "Button10"));
    dialogs_.answerMessage(MsgResult::Ok); // where the PDF went
    click(button(*viewer, "Button7"));
    const QString shownSop = series_.seriesUid + QStringLiteral(".2");
    QSqlDatabase db = pacsConnection(series_.databasePath);
    QSqlQuery station(db);
    ASSERT_TRUE(
        station.exec(QStringLiteral("DELETE FROM DICOMImages WHERE SOPInstanc = '%1'").arg(shownSop)));
    ASSERT_TRUE(
        station.exec(QStringLiteral("INSERT INTO DICOMImages (SOPInstanc, SeriesInst, ObjectFile, "
                                    "PatientName) VALUES ('9.9.1', '9.9', 'PAT002/new.dcm', 'MARTIN')")));

    dialogs_.answerMessage(MsgResult::Ok);
    click(button(*viewer, "Button7"));
    ASSERT_EQ(dialogs_.messages.size(), 2u);
    EXPECT_EQ(dialogs_.messages[1].text, ViewerWindow::ImageDeletedText);
    EXPECT_EQ(viewer->findChild<QLabel*>(QStringLiteral("Label4"))->text(), QStringLiteral("Supprimée"));
    const QDir pdfFolder(QDir(folder_.path()).filePath(QStringLiteral("pdf")));
    EXPECT_EQ(pdfFolder.entryList({QStringLiteral("*.pdf")}).size(), 1) << "only the print made before";
    click(button(*viewer, "Button4"));
    EXPECT_TRUE(viewer->outcome().imageDeleted);
    ASSERT_TRUE(station.exec(QStringLiteral("SELECT COUNT(*) FROM DICOMImages WHERE Printed <> 0"))
        && station.next());
    EXPECT_EQ(station.value(0).toInt(), 0) << "the new patient's image is not marked printed";
    EXPECT_EQ(dialogs_.unexpected, 0);
}

// A single file is printed for its opener, which marks its own record.
TEST_F(ViewerWindowTest, SingleFilePrintIsHandedBackToTheOpener)
{
    makeSeries(2);
    auto viewer = openSeries({.exam = {.patientName = QStringLiteral("MARTIN")},
        .imagePath = series_.imagePath(1),
        .sopInstance = series_.seriesUid + QStringLiteral(".2"),
        .start = ViewerRequest::Start::SingleFile});
    EXPECT_FALSE(viewer->outcome().printed);
    dialogs_.answerMessage(MsgResult::Ok);
    click(button(*viewer, "Button7"));
    click(button(*viewer, "Button4"));
    EXPECT_TRUE(viewer->outcome().printed);
    EXPECT_FALSE(viewer->outcome().imageDeleted);
    EXPECT_FALSE(rowPrinted(1)) << "the opener writes the mark";
}

} // namespace
