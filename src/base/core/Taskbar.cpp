#include "base/core/Taskbar.h"

namespace vexa {

int taskbarHeightFor(const QRect& screenGeometry, const QRect& availableGeometry)
{
    const int topBand = availableGeometry.top() - screenGeometry.top();
    if (topBand > 0)
        return -topBand;
    const int bottomBand = screenGeometry.bottom() - availableGeometry.bottom();
    return bottomBand > 0 ? bottomBand : 0;
}

} // namespace vexa
