#pragma once
// Window order and the desktop's reserved band: the window-system services
// the program's windows use.
class QWidget;

namespace vexa {

// Puts the window above all normal windows and shows it without activating
// it, keeping its position and size.
void setWindowTopmost(QWidget* window);
// The same, returning the window to the normal order.
void setWindowNotTopmost(QWidget* window);

// Keeps the modal window on top for the rest of the program's run: a window
// in the topmost band loses it when a modal window blocks it, and a modal
// window is raised and given the focus when it shows. Without this, a window
// left topmost by an earlier action would cover the modal window the user
// must answer, and every click would go nowhere.
void keepModalWindowsOnTop();

// The height in pixels of the desktop's band (taskbar, panel) on the primary
// screen: positive at the bottom, negative at the top, 0 when none takes height.
int taskbarHeight();

} // namespace vexa
