#pragma once
// Window order and the desktop's reserved band: the window-system services
// the program's windows use.
class QWidget;

namespace vexa {

// Puts the window above all normal windows and shows it without activating
// it, keeping its position and size.
void SetWindowTopmost(QWidget* window);
// The same, returning the window to the normal order.
void SetWindowNotTopmost(QWidget* window);

// The height in pixels of the desktop's band (taskbar, panel) on the primary
// screen: positive at the bottom, negative at the top, 0 when none takes height.
int TaskbarHeight();

} // namespace vexa
