#include "WindowOrder.h"
#include "Taskbar.h"
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace vexa {
namespace {

// A shown window changes band through its native window: changing a widget's
// flags would hide it (ending the modal loop of a dialog being shown) and
// recreate it. A window not yet shown takes the flag and is shown, without
// taking the focus.
void setStaysOnTop(QWidget* window, bool onTop)
{
    if (!window)
        return;
    const bool already = window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop;
    if (!already) {
        const Qt::WindowFlags flags = window->windowFlags().setFlag(Qt::WindowStaysOnTopHint, onTop);
        if (window->isVisible() && window->windowHandle()) {
            window->overrideWindowFlags(flags);
            window->windowHandle()->setFlags(flags);
        } else {
            const QRect geometry = window->geometry();
            window->setWindowFlags(flags);
            window->setGeometry(geometry);
        }
    }
    if (!window->isVisible()) {
        window->setAttribute(Qt::WA_ShowWithoutActivating, true);
        window->show();
        window->setAttribute(Qt::WA_ShowWithoutActivating, false);
    }
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
