#include "PumpEvents.h"
#include <QCoreApplication>

namespace vexa {

void PumpEvents(int n)
{
    for (int i = 0; i <= n; ++i)
        QCoreApplication::processEvents();
}

} // namespace vexa
