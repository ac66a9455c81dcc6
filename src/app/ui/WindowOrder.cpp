#include "WindowOrder.h"
#include "Taskbar.h"
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace vexa {
namespace {

// Changing window flags hides a window and may move it, so its geometry is
// put back and it is shown again, without taking the focus.
void setStaysOnTop(QWidget* window, bool onTop)
{
    if (!window)
        return;
    const bool already = window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop;
    if (!already) {
        const QRect geometry = window->geometry();
        window->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
        window->setGeometry(geometry);
    }
    window->setAttribute(Qt::WA_ShowWithoutActivating, true);
    window->show();
    window->setAttribute(Qt::WA_ShowWithoutActivating, false);
    if (onTop)
        window->raise();
}

} // namespace

void SetWindowTopmost(QWidget* window)
{
    setStaysOnTop(window, true);
}

void SetWindowNotTopmost(QWidget* window)
{
    setStaysOnTop(window, false);
}

int TaskbarHeight()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 0;
    return TaskbarHeightFor(screen->geometry(), screen->availableGeometry());
}

} // namespace vexa
