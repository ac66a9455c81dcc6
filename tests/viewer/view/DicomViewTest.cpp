#include "viewer/view/DicomView.h"
#include "DicomFixtures.h"
#include "viewer/view/WindowPresets.h"

#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vexa;

namespace {

// A 200 x 100 image whose value is its column (0..199), window 0..255 so a
// displayed grey equals the column under it, spacing 0.5 mm x 0.25 mm.
class DicomViewTest : public ::testing::Test {
protected:
    QTemporaryDir dir_;
    QString file_;
    DicomView view_;

    void SetUp() override
    {
        NewDicomImage image = fixtures::greyImage(200, 100, 8, false, [](int c, int) { return c; });
        image.windowCenter = 128;
        image.windowWidth = 256;
        image.pixelSpacing = std::pair{0.25, 0.5};
        file_ = dir_.filePath("ramp.v2");
        ASSERT_TRUE(writeDicomImage(image, file_, DicomFileLayout::BareImplicitLittle).ok);
        view_.resize(400, 300);
    }

    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton,
        Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        const Qt::MouseButtons held
            = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, at, view_.mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : button,
            held, modifiers);
        QApplication::sendEvent(&view_, &event);
    }

    void drag(QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton)
    {
        mouse(QEvent::MouseButtonPress, from, button);
        mouse(QEvent::MouseMove, to, button);
        mouse(QEvent::MouseButtonRelease, to, button);
    }

    int shownGrey(QPoint at) { return qGray(view_.displayImage().pixel(at)); }
};

TEST_F(DicomViewTest, loadFitsTheImageAndEmptyStringEmpties)
{
    QSignalSpy zoomChanged(&view_, &DicomView::zoomChanged);
    view_.setDisplayFile(file_);
    ASSERT_TRUE(view_.hasImage()) << view_.loadError().toStdString();
    EXPECT_EQ(view_.pixelColumns(), 200);
    EXPECT_EQ(view_.pixelRows(), 100);
    EXPECT_DOUBLE_EQ(view_.columnSpacing(), 0.5);
    EXPECT_DOUBLE_EQ(view_.rowSpacing(), 0.25);
    EXPECT_TRUE(view_.fitMode());
    EXPECT_EQ(view_.zoomLevel(), 200);
    EXPECT_EQ(view_.offsetX(), 0);
    EXPECT_EQ(view_.offsetY(), -50); // 200 screen rows centred in 300
    EXPECT_EQ(zoomChanged.count(), 1);

    view_.setDisplayFile("");
    EXPECT_FALSE(view_.hasImage());
    EXPECT_EQ(view_.pixelColumns(), 0);
    EXPECT_TRUE(view_.loadError().isEmpty());
    EXPECT_FALSE(view_.copyDisplay());
}

TEST_F(DicomViewTest, mappingFormulaHoldsForZoomAndOffsetsAndMatchesWhatIsDrawn)
{
    view_.setDisplayFile(file_);
    QSignalSpy zoomChanged(&view_, &DicomView::zoomChanged);
    view_.setZoomLevel(300);
    EXPECT_FALSE(view_.fitMode());
    EXPECT_EQ(zoomChanged.count(), 1);
    view_.setOffsets(150, -20);
    for (const double imageX : {0.0, 10.5, 99.0}) {
        const double zoom = view_.zoomLevel() / 100.0;
        const QPointF screen = view_.imageToScreen(QPointF(imageX, 7));
        EXPECT_DOUBLE_EQ(screen.x(), zoom * (imageX - view_.offsetX() / zoom));
        EXPECT_DOUBLE_EQ(screen.y(), zoom * (7 - view_.offsetY() / zoom));
        EXPECT_EQ(view_.screenToImage(screen), QPointF(imageX, 7));
    }
    // Image column c fills screen columns 3c - 150 .. 3c - 148.
    EXPECT_EQ(shownGrey({3 * 60 - 150, 40}), 60);
    EXPECT_EQ(shownGrey({3 * 60 - 148, 40}), 60);
    EXPECT_EQ(shownGrey({3 * 60 - 147, 40}), 61);
    EXPECT_EQ(shownGrey({5, 5}), 0); // above the image: background

    view_.setFitMode(true);
    EXPECT_EQ(view_.zoomLevel(), 200);
    EXPECT_EQ(zoomChanged.count(), 2);
}

TEST_F(DicomViewTest, polarityInvertsAndRestoreGoesBackToTheLoadedDisplay)
{
    view_.setDisplayFile(file_);
    const QPoint at(2 * 50, 150); // image column 50
    EXPECT_EQ(shownGrey(at), 50);
    view_.setPolarity(-1);
    EXPECT_EQ(view_.polarity(), -1);
    EXPECT_EQ(shownGrey(at), 205);
    view_.setPolarity(0); // not a polarity: ignored
    EXPECT_EQ(view_.polarity(), -1);
    view_.setPolarity(1);

    drag({100, 100}, {100, 200}); // contrast tool: the centre moves up by 50
    EXPECT_EQ(shownGrey(at), 0);
    view_.setZoomLevel(500);
    view_.setRestoreDisplay(true);
    EXPECT_EQ(view_.window().center, 128);
    EXPECT_EQ(view_.window().width, 256);
    EXPECT_TRUE(view_.fitMode());
    EXPECT_EQ(view_.zoomLevel(), 200);
    EXPECT_EQ(shownGrey(at), 50);
}

TEST_F(DicomViewTest, notificationsCarryButtonsPositionsAndPixelValues)
{
    view_.setDisplayFile(file_);
    QSignalSpy pressed(&view_, &DicomView::pressed), clicked(&view_, &DicomView::clicked),
        released(&view_, &DicomView::released), moved(&view_, &DicomView::pointerMoved);
    std::vector<QString> order;
    QObject::connect(&view_, &DicomView::clicked, [&] { order.push_back("click"); });
    QObject::connect(&view_, &DicomView::released, [&] { order.push_back("released"); });

    mouse(QEvent::MouseMove, {61, 70}, Qt::NoButton);
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved[0][0].toInt(), 30); // column
    EXPECT_EQ(moved[0][1].toInt(), 10); // row: (70 - 50) / 2
    EXPECT_DOUBLE_EQ(moved[0][4].toDouble(), 30.0);

    mouse(QEvent::MouseButtonPress, {61, 70}, Qt::RightButton, Qt::ShiftModifier);
    mouse(QEvent::MouseButtonRelease, {61, 70}, Qt::RightButton, Qt::ShiftModifier);
    ASSERT_EQ(pressed.count(), 1);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked[0][2].toInt(), 2); // third argument: secondary button
    EXPECT_EQ(clicked[0][3].toInt(), 1);
    EXPECT_EQ(released[0][2].toInt(), 2);
    EXPECT_EQ(order, (std::vector<QString>{"click", "released"}));

    QSignalSpy beep(&view_, &DicomView::beep);
    view_.setPointerTool(9);
    EXPECT_EQ(beep.count(), 1);
    EXPECT_EQ(view_.pointerTool(), 1);
}

TEST_F(DicomViewTest, regionStudyPanAndInstantMeasure)
{
    view_.setDisplayFile(file_);
    view_.setPointerTool(2);
    drag({20, 50}, {40, 60}); // image columns 10..20, rows 0..5
    const auto stats = view_.toolState().statistics(*view_.imageData());
    ASSERT_TRUE(stats);
    EXPECT_DOUBLE_EQ(stats->minimum, 10);
    EXPECT_DOUBLE_EQ(stats->maximum, 20);
    EXPECT_DOUBLE_EQ(stats->mean, 15);
    EXPECT_NEAR(stats->standardDeviation, std::sqrt(10.0), 1e-9);

    view_.setLocale(QLocale(QLocale::French, QLocale::France));
    view_.setPointerTool(5);
    drag({0, 50}, {80, 110}); // 40 columns x 0.5 mm, 30 rows x 0.25 mm
    ASSERT_TRUE(view_.toolState().segment());
    EXPECT_EQ(view_.measureText(), "21,36 mm");

    view_.setPointerTool(4);
    drag({100, 100}, {130, 90});
    EXPECT_EQ(view_.offsetX(), -30);
    EXPECT_EQ(view_.offsetY(), -40);
    EXPECT_FALSE(view_.fitMode());

    view_.setPointerTool(3);
    mouse(QEvent::MouseButtonPress, {200, 150});
    EXPECT_FALSE(view_.displayImage().isNull()); // magnifier drawn without trouble
    mouse(QEvent::MouseButtonRelease, {200, 150});
}

// The instant measure follows the measuring tools: the spacing the file gives
// (pixel or imager), pixels when it gives none, never an invented millimetre.
TEST_F(DicomViewTest, instantMeasureUsesTheFilesSpacingOrCountsPixels)
{
    struct Case {
        std::optional<std::pair<double, double>> pixel, imager;
        const char* text;
    };
    const Case cases[] = {
        {std::nullopt, std::pair{0.25, 0.5}, "21,36 mm (détecteur)"},
        {std::nullopt, std::nullopt, "50,00 px (non calibré)"},
    };
    view_.setLocale(QLocale(QLocale::French, QLocale::France));
    for (const Case& c : cases) {
        NewDicomImage image = fixtures::greyImage(200, 100, 8, false, [](int col, int) { return col; });
        image.pixelSpacing = c.pixel;
        image.imagerPixelSpacing = c.imager;
        const QString other = dir_.filePath("other.v2");
        ASSERT_TRUE(writeDicomImage(image, other, DicomFileLayout::BareImplicitLittle).ok);
        view_.setDisplayFile(other);
        view_.setPointerTool(5);
        drag({0, 50}, {80, 110}); // 40 columns, 30 rows
        EXPECT_EQ(view_.measureText(), QString::fromUtf8(c.text));
    }
}

TEST_F(DicomViewTest, ctImagesGetTheFiveUsualWindowsOthersTheirOwn)
{
    NewDicomImage ct = fixtures::greyImage(16, 16, 16, true, [](int c, int) { return c; });
    ct.modality = QStringLiteral("CT");
    const QString ctFile = dir_.filePath("ct.v2");
    ASSERT_TRUE(writeDicomImage(ct, ctFile, DicomFileLayout::BareImplicitLittle).ok);
    view_.setDisplayFile(ctFile);
    ASSERT_TRUE(view_.hasImage());
    QStringList names;
    for (const NamedWindow& preset : windowPresetsFor(*view_.imageData()))
        names << preset.name;
    EXPECT_EQ(names.join(','), QStringLiteral("poumon,médiastin,os,cerveau,abdomen"));
    EXPECT_EQ(windowPresetsFor(*view_.imageData())[3].window.width, 80.0);

    view_.setDisplayFile(file_);
    const auto own = windowPresetsFor(*view_.imageData());
    ASSERT_EQ(own.size(), 1u);
    EXPECT_EQ(own[0].window.center, 128.0);
    EXPECT_EQ(own[0].name, QStringLiteral("fenêtre du fichier"));
}

TEST(ViewerIndicator, tellsImageFrameWindowAndItsName)
{
    struct Case {
        ViewerPosition position;
        VoiWindow window;
        QString name;
        QString text;
    };
    const std::vector<Case> cases{
        {{4, 6, 1, 1}, {40, 80}, QStringLiteral("cerveau"),
            QStringLiteral("image 4 / 6\nC 40  L 80  (cerveau)")},
        {{1, 3, 2, 40}, {-600, 1500}, {}, QStringLiteral("image 1 / 3  trame 2 / 40\nC -600  L 1500")},
        {{1, 0, 7, 9}, {2000.4, 3999.6}, {}, QStringLiteral("trame 7 / 9\nC 2000  L 4000")},
        {{1, 0, 1, 1}, {10, 20}, QStringLiteral("OS"), QStringLiteral("C 10  L 20  (OS)")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(viewerIndicatorText(c.position, c.window, c.name), c.text);
}

// A file's windows and VOI tables, named by their explanations: the keys 1 to
// 5 of a radiograph and the F key's cycle.
TEST(FileWindows, namedByTheFileElseByTheirRank)
{
    DicomImageData image;
    image.modality = QStringLiteral("CR");
    for (int i = 0; i < 7; ++i)
        image.fileWindows.push_back({100.0 * i, 50.0, VoiFunction::Linear, -1, QString()});
    image.fileWindows[1].explanation = QStringLiteral(" OS ");
    image.fileWindows[6].lutIndex = 0;
    const std::vector<NamedWindow> all = fileWindowsOf(image);
    ASSERT_EQ(all.size(), 7u);
    EXPECT_EQ(all[0].name, QStringLiteral("fenêtre 1 du fichier"));
    EXPECT_EQ(all[1].name, QStringLiteral("OS"));
    EXPECT_EQ(all[6].window.lutIndex, 0);
    const std::vector<NamedWindow> keys = windowPresetsFor(image);
    ASSERT_EQ(keys.size(), 5u);
    EXPECT_EQ(keys[4].window.center, 400.0);

    image.fileWindows.resize(1);
    image.fileWindows[0].explanation.clear();
    EXPECT_EQ(fileWindowsOf(image)[0].name, QStringLiteral("fenêtre du fichier"));
    image.fileWindows.clear();
    EXPECT_TRUE(fileWindowsOf(image).empty());
    image.defaultWindow = {5, 10};
    ASSERT_EQ(windowPresetsFor(image).size(), 1u);
    EXPECT_EQ(windowPresetsFor(image)[0].window.center, 5.0) << "the pixel range when the file gives none";
}

// Three frames of 200 x 100, frame f worth 50 f more than the first (column / 2).
TEST_F(DicomViewTest, framesAreReadOneAtATimeKeepingWindowAndZoom)
{
    const auto value = [](int c, int frame) { return c / 2 + 50 * frame; };
    NewDicomImage source = fixtures::greyImage(200, 100, 8, false, [&](int c, int) { return value(c, 0); });
    for (int frame = 1; frame < 3; ++frame)
        for (int r = 0; r < 100; ++r)
            for (int c = 0; c < 200; ++c)
                source.pixelData.append(static_cast<char>(value(c, frame)));
    source.frames = 3;
    source.windowCenter = 128;
    source.windowWidth = 256;
    const QString frames = dir_.filePath("frames.v2");
    ASSERT_TRUE(writeDicomImage(source, frames, DicomFileLayout::BareImplicitLittle).ok);

    view_.setDisplayFile(frames);
    ASSERT_TRUE(view_.hasImage()) << view_.loadError().toStdString();
    EXPECT_EQ(view_.frameCount(), 3);
    EXPECT_EQ(view_.currentFrame(), 0);
    view_.setZoomLevel(300);
    view_.setWindow({100, 256});
    const QPoint at = view_.imageToScreen({60.5, 50.5}).toPoint();
    const int offsetX = view_.offsetX();
    QSignalSpy changed(&view_, &DicomView::displayChanged);
    for (const int frame : {2, 1, 0}) {
        SCOPED_TRACE(frame);
        ASSERT_TRUE(view_.showFrame(frame));
        EXPECT_EQ(view_.currentFrame(), frame);
        EXPECT_EQ(view_.imageData()->frameIndex, frame);
        EXPECT_EQ(view_.imageData()->valueAt(60, 50), value(60, frame));
        EXPECT_EQ(shownGrey(at), value(60, frame) + 28) << "window 100 / 256 still applied";
        EXPECT_EQ(view_.zoomLevel(), 300);
        EXPECT_EQ(view_.offsetX(), offsetX);
    }
    EXPECT_EQ(changed.count(), 3);
    for (const int missing : {3, -1})
        EXPECT_FALSE(view_.showFrame(missing));
    EXPECT_EQ(view_.currentFrame(), 0);

    view_.setDisplayFile(file_);
    EXPECT_EQ(view_.frameCount(), 1);
    EXPECT_FALSE(view_.showFrame(1));
}

// A window given by one of the file's VOI tables draws through the table; a
// contrast drag then goes on from a plain window.
TEST_F(DicomViewTest, windowOfAVoiTableIsKeptUntilTheUserDrags)
{
    QStringList reversed;
    for (int i = 0; i < 256; ++i)
        reversed << QString::number((255 - i) * 257, 16).rightJustified(4, '0');
    NewDicomImage image = fixtures::greyImage(200, 100, 8, false, [](int c, int) { return c; });
    image.moreElements = {QStringLiteral("(0028,3010)[0].(0028,3002)=256\\0\\16"),
        QStringLiteral("(0028,3010)[0].(0028,3006)=") + reversed.join('\\')};
    const QString lut = dir_.filePath("lut.dcm");
    ASSERT_TRUE(writeDicomImage(image, lut, DicomFileLayout::WithMetaHeader).ok);
    view_.setDisplayFile(lut);
    ASSERT_TRUE(view_.hasImage()) << view_.loadError().toStdString();
    const QPoint at(2 * 50, 150); // image column 50
    const VoiWindow table = view_.imageData()->fileWindows.at(0);
    ASSERT_EQ(table.lutIndex, 0);

    view_.setWindow({128, 256});
    EXPECT_EQ(shownGrey(at), 50);
    view_.setWindow(table);
    EXPECT_EQ(view_.window().lutIndex, 0);
    EXPECT_EQ(shownGrey(at), 205);
    drag({100, 100}, {100, 100});
    EXPECT_EQ(view_.window().lutIndex, -1);
    EXPECT_LT(shownGrey(at), 205) << "a plain ramp over the table's range";
}

TEST_F(DicomViewTest, copyDisplayPutsWhatIsShownOnTheClipboard)
{
    view_.setDisplayFile(file_);
    view_.setPolarity(-1);
    ASSERT_TRUE(view_.copyDisplay());
    const QImage copied = QApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), QSize(400, 300));
    EXPECT_EQ(qGray(copied.pixel(100, 150)), 205);
}

TEST_F(DicomViewTest, showTagsShowsTheDataAsTextAndBadFilesGiveAMessage)
{
    view_.setDisplayFile(file_);
    view_.setShowTags(true);
    const auto* text = view_.findChild<QPlainTextEdit*>();
    ASSERT_TRUE(text);
    EXPECT_FALSE(text->isHidden());
    EXPECT_TRUE(text->toPlainText().contains("PatientName"));
    EXPECT_TRUE(QFontInfo(text->font()).fixedPitch()) << "the dump's columns stay aligned";
    view_.setShowTags(false);
    EXPECT_TRUE(text->isHidden());

    QFile garbage(dir_.filePath("bad.v2"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(3000, '\x7f'));
    garbage.close();
    for (const QString& bad : {garbage.fileName(), dir_.filePath("missing.v2")}) {
        view_.setDisplayFile(bad);
        EXPECT_FALSE(view_.hasImage());
        EXPECT_FALSE(view_.loadError().isEmpty());
        EXPECT_FALSE(view_.displayImage().isNull());
        drag({10, 10}, {50, 50}); // tools on an empty control do nothing
    }
}

} // namespace
