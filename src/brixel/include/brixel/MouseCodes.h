#pragma once
// The codes a mouse event carries in the library's signals and in the
// viewer's: the buttons (1 left, 2 right, 4 middle) and the held keys
// (1 Shift, 2 Ctrl, 4 Alt), each a sum of its bits.
#include <Qt>

namespace brixel {

inline short buttonCode(Qt::MouseButtons buttons)
{
    return static_cast<short>((buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0)
        | (buttons & Qt::MiddleButton ? 4 : 0));
}

inline short shiftCode(Qt::KeyboardModifiers modifiers)
{
    return static_cast<short>((modifiers & Qt::ShiftModifier ? 1 : 0)
        | (modifiers & Qt::ControlModifier ? 2 : 0) | (modifiers & Qt::AltModifier ? 4 : 0));
}

} // namespace brixel
