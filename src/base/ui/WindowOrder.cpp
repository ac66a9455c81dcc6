#include "base/ui/WindowOrder.h"
#include "base/core/Taskbar.h"
#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
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

bool isModalWindow(const QWidget* widget)
{
    return widget->isWindow() && widget->windowModality() != Qt::NonModal;
}

bool staysOnTop(const QWidget* widget)
{
    return widget->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

class ModalOnTop : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::WindowBlocked && widget->isWindow() && widget->isVisible()
            && staysOnTop(widget))
            setStaysOnTop(widget, false);
        else if (event->type() == QEvent::Show && isModalWindow(widget))
            bringForward(widget);
        return false;
    }

private:
    // Once shown by the window manager: raised, and focused unless the window
    // asked to show without taking the focus.
    static void bringForward(QWidget* window)
    {
        const bool activate = !window->testAttribute(Qt::WA_ShowWithoutActivating);
        QTimer::singleShot(0, window, [window = QPointer<QWidget>(window), activate] {
            if (!window || !window->isVisible())
                return;
            window->raise();
            if (activate)
                window->activateWindow();
        });
    }
};

} // namespace

void keepModalWindowsOnTop()
{
    static QPointer<QObject> installed;
    if (installed || !qApp)
        return;
    installed = new ModalOnTop(qApp);
    qApp->installEventFilter(installed);
}

void setWindowTopmost(QWidget* window)
{
    setStaysOnTop(window, true);
}

void setWindowNotTopmost(QWidget* window)
{
    setStaysOnTop(window, false);
}

int taskbarHeight()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 0;
    return taskbarHeightFor(screen->geometry(), screen->availableGeometry());
}

} // namespace vexa
