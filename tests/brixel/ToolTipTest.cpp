// Tooltip placement, text fitting, and the shared window opened by a real button.
#include "ToolTipPlacement.h"
#include "ToolTipWindow.h"
#include <brixel/Button.h>

#include "QtPrinters.h"
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace brixel;

TEST(BrixelToolTip, Placement)
{
    const QRect screen(0, 0, 800, 600);
    const QSize text(100, 14); // window 110 x 22
    const struct {
        const char* what;
        QRect control;
        QRect expected;
    } cases[] = {
        {"a third into the control, 8 below", {90, 100, 90, 25}, {120, 133, 110, 22}},
        {"a third of the width, rounded", {0, 100, 100, 25}, {33, 133, 110, 22}},
        {"no room below: above, 2 pixels off", {90, 570, 90, 25}, {120, 546, 110, 22}},
        {"past the right edge: moved left", {750, 100, 45, 25}, {690, 133, 110, 22}},
        {"left of the screen: at its left edge", {-100, 100, 90, 25}, {0, 133, 110, 22}},
        {"bottom fits exactly", {90, 545, 90, 25}, {120, 578, 110, 22}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(placeToolTip(c.control, text, screen), c.expected) << c.what;
}

TEST(BrixelToolTip, LongTextIsCutToEightyPercentOfTheScreen)
{
    const auto tenPerCharacter = [](const QString& t) { return static_cast<int>(t.size()) * 10; };
    EXPECT_EQ(
        fitToolTipText(QStringLiteral("abcdefghijkl"), 100, tenPerCharacter), QStringLiteral("abcdefgh"));
    EXPECT_EQ(fitToolTipText(QStringLiteral("abc"), 100, tenPerCharacter), QStringLiteral("abc"));
}

namespace {

// Moves the pointer over the button and lets the (shortened) tooltip delay run.
void hoverUntilToolTip(Button& button)
{
    button.findChild<QTimer*>(QStringLiteral("tmrToolTip"))->setInterval(5);
    QTest::mouseMove(&button, QPoint(20, 10)); // two points: Qt drops a move to where the pointer is
    QTest::mouseMove(&button, QPoint(21, 10));
    QTest::qWait(50);
}

} // namespace

TEST(BrixelToolTip, ButtonAtTheBottomOfTheScreenOpensItAbove)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QWidget window;
    window.setGeometry(screen.x() + 100, screen.bottom() - 60, 300, 40);
    Button button(&window, QStringLiteral("cmdPrint"));
    button.setGeometry(10, 10, 90, 25);
    button.setToolTipText(QStringLiteral("Imprimer l'examen"));
    button.setToolTipBackColor(QColor(255, 255, 200));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    hoverUntilToolTip(button);
    ToolTipWindow& tip = ToolTipWindow::instance();
    ASSERT_TRUE(tip.isVisible());
    EXPECT_EQ(tip.shownText(), QStringLiteral("Imprimer l'examen"));
    const QRect onScreen(button.mapToGlobal(QPoint(0, 0)), button.size());
    EXPECT_EQ(tip.geometry().bottom() + 1, onScreen.top() - 2);
    EXPECT_EQ(tip.palette().color(QPalette::Window), QColor(255, 255, 200));

    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_FALSE(tip.isVisible()); // a press hides it
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(20, 10));
}

TEST(BrixelToolTip, NoTooltipWithoutTextOrWhileSunken)
{
    QWidget window;
    window.resize(300, 100);
    Button button(&window, QStringLiteral("cmdOk"));
    button.setGeometry(10, 10, 90, 25);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ToolTipWindow::closeShared();

    hoverUntilToolTip(button);
    EXPECT_FALSE(ToolTipWindow::instance().isVisible());

    button.setToolTipText(QStringLiteral("Valider"));
    button.setValue(true); // toggle button now sunken
    hoverUntilToolTip(button);
    EXPECT_FALSE(ToolTipWindow::instance().isVisible());
}
