// The button driven by real mouse events: looks, toggle, hover and events.
#include <brixel/Button.h>

#include "QtPrinters.h"
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace brixel;

namespace {

const QPoint Centre(50, 12);

Picture square(int side, QColor colour)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(colour);
    return Picture::fromImage(image);
}

// A shown window holding one 100 x 25 pixel button, with its events recorded
// as they arrive, together with the border drawn at that moment.
class ButtonOnWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(300, 100);
        button = new Button(&window, QStringLiteral("button1"));
        button->initProperties();
        button->setGeometry(10, 10, 100, 25);
        const auto record = [this](const char* what) {
            events << QStringLiteral("%1@%2").arg(QLatin1String(what)).arg(button->btnAppearance());
        };
        QObject::connect(button, &Button::Click, [=] { record("Click"); });
        QObject::connect(button, &Button::ClickSunken, [=] { record("ClickSunken"); });
        QObject::connect(
            button, &Button::MouseDown, [=](short, short, float, float) { record("MouseDown"); });
        QObject::connect(button, &Button::MouseUp, [=](short, short, float, float) { record("MouseUp"); });
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    void click(QPoint at = Centre)
    {
        QTest::mousePress(button, Qt::LeftButton, {}, at);
        QTest::mouseRelease(button, Qt::LeftButton, {}, at);
    }

    // Qt drops a move to where the pointer already is, so each goes through two points.
    void moveOver()
    {
        QTest::mouseMove(button, Centre);
        QTest::mouseMove(button, Centre + QPoint(1, 0));
    }
    void moveAway()
    {
        QTest::mouseMove(&window, QPoint(250, 80));
        QTest::mouseMove(&window, QPoint(251, 80));
    }

    QWidget window;
    Button* button = nullptr;
    QStringList events;
};

} // namespace

TEST_F(ButtonOnWindow, MomentaryPressShowsSunkenUntilAfterClick)
{
    button->setBtnSunkenEffects(bseNo);
    QTest::mousePress(button, Qt::LeftButton, {}, Centre);
    EXPECT_EQ(button->btnAppearance(), 3);
    EXPECT_FALSE(button->value()); // a momentary button never reads sunken
    QTest::mouseRelease(button, Qt::LeftButton, {}, Centre);
    EXPECT_EQ(events, QStringList({"MouseDown@3", "MouseUp@3", "Click@3"}));
    EXPECT_EQ(button->btnAppearance(), HalfRaised);
}

TEST_F(ButtonOnWindow, FlatButtonStillHoveredAfterAClick)
{
    // The pointer has not moved: the hover look comes back without a move event.
    button->setBtnAppearance(Flat);
    button->setBtnSunkenEffects(bseNo);
    moveOver();
    click(Centre + QPoint(1, 0));
    EXPECT_EQ(button->btnAppearance(), HalfRaised);
    moveAway();
    EXPECT_EQ(button->btnAppearance(), Flat);
}

TEST_F(ButtonOnWindow, MomentaryReleaseOffTheButtonDoesNotClick)
{
    button->setBtnSunkenEffects(bseNo);
    QTest::mousePress(button, Qt::LeftButton, {}, Centre);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(150, 60));
    EXPECT_EQ(events, QStringList({"MouseDown@3", "MouseUp@3"}));
    EXPECT_EQ(button->btnAppearance(), HalfRaised);
}

TEST_F(ButtonOnWindow, ToggleSinksThenRaises)
{
    click();
    EXPECT_TRUE(button->value());
    EXPECT_EQ(button->btnAppearance(), 3);
    EXPECT_EQ(events, QStringList({"MouseDown@3", "MouseUp@3", "Click@3"}));
    events.clear();
    click();
    EXPECT_FALSE(button->value());
    EXPECT_EQ(button->btnAppearance(), HalfRaised);
    EXPECT_EQ(events, QStringList({"MouseDown@1", "MouseUp@1", "ClickSunken@1"}));
}

TEST_F(ButtonOnWindow, RightButtonOnlyRaisesMouseEvents)
{
    QSignalSpy downs(button, &Button::MouseDown);
    QTest::mousePress(button, Qt::RightButton, Qt::ShiftModifier, QPoint(20, 10));
    QTest::mouseRelease(button, Qt::RightButton, Qt::ShiftModifier, QPoint(20, 10));
    EXPECT_EQ(events, QStringList({"MouseDown@1", "MouseUp@1"}));
    ASSERT_EQ(downs.size(), 1);
    EXPECT_EQ(downs[0], QVariantList({short(2), short(1), 300.0f, 150.0f})); // twips
    EXPECT_FALSE(button->value());
}

TEST_F(ButtonOnWindow, SettingValue)
{
    button->setBtnSunkenEffects(bseNo);
    button->setValue(true);
    EXPECT_FALSE(button->value());
    EXPECT_EQ(button->btnAppearance(), HalfRaised);
    EXPECT_EQ(events, QStringList({"Click@1"}));

    events.clear();
    button->setBtnSunkenEffects(bseYes);
    button->setValue(true);
    EXPECT_TRUE(button->value());
    button->setValue(false);
    EXPECT_EQ(events, QStringList({"Click@3", "ClickSunken@1"}));
}

TEST_F(ButtonOnWindow, FlatButtonShowsAnEdgeOnlyWhileHovered)
{
    button->setBtnAppearance(Flat);
    moveOver();
    EXPECT_EQ(button->btnAppearance(), HalfRaised);
    moveAway();
    EXPECT_EQ(button->btnAppearance(), Flat);

    button->setBtnContentEffects(bceNo);
    moveOver();
    EXPECT_EQ(button->btnAppearance(), Flat);
}

TEST_F(ButtonOnWindow, HoverShowsTheOverColoursAndPictureThenRestores)
{
    button->setPicture(square(16, Qt::green));
    button->setBackColorOver(QColor(255, 255, 0));
    button->setCapColorOver(QColor(255, 0, 0));
    moveOver();
    EXPECT_EQ(button->backColor(), QColor(255, 255, 0));
    EXPECT_EQ(button->shownCaptionColor(), QColor(255, 0, 0));
    EXPECT_EQ(button->shownPicture(), button->picture()); // no over picture: the normal one stays
    moveAway();
    EXPECT_EQ(button->backColor(), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(button->shownCaptionColor(), QColor(Qt::black));

    const Picture over = square(16, Qt::blue);
    button->setPictureOver(over);
    moveOver();
    EXPECT_EQ(button->shownPicture(), over);
}

TEST_F(ButtonOnWindow, PressWithoutPressedPictureShowsAnEmptyArea)
{
    button->setBtnSunkenEffects(bseNo);
    button->setPicture(square(16, Qt::green));
    const QPoint where = button->picturePosition() / 15 + QPoint(8, 8);
    QTest::mousePress(button, Qt::LeftButton, {}, where); // a press on the picture presses the button
    EXPECT_EQ(button->btnAppearance(), 3);
    EXPECT_TRUE(button->isPictureShown());
    EXPECT_TRUE(button->shownPicture().isNull());
    EXPECT_NE(QColor(button->grab().toImage().pixel(where)), QColor(Qt::green));
    QTest::mouseRelease(button, Qt::LeftButton, {}, where);
    EXPECT_EQ(button->shownPicture(), button->picture());
    EXPECT_EQ(events.last(), QStringLiteral("Click@3"));
}

TEST_F(ButtonOnWindow, CaptionDownWhilePressed)
{
    button->setCaption(QStringLiteral("Graver"));
    button->setCaptionDown(QStringLiteral("Gravure..."));
    click();
    EXPECT_EQ(button->caption(), QStringLiteral("Gravure..."));
    button->setValue(true); // pressed again while sunken: the normal caption is not lost
    click();
    EXPECT_EQ(button->caption(), QStringLiteral("Graver"));
    button->setValue(false); // releasing a raised button keeps its caption
    EXPECT_EQ(button->caption(), QStringLiteral("Graver"));
}

TEST_F(ButtonOnWindow, PictureAloneIsCentred)
{
    button->setCaption(QString());
    button->setPicture(square(16, Qt::green));
    EXPECT_EQ(button->picturePosition(), QPoint((1500 - 240) / 2, 68)); // 67.5 rounds to 68
    const QImage shot = button->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(42, 5)), QColor(Qt::green));
    EXPECT_EQ(QColor(shot.pixel(57, 20)), QColor(Qt::green));
}
