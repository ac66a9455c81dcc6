#include "base/core/WorkPool.h"

namespace vexa {

namespace {
Q_GLOBAL_STATIC(QThreadPool, theWorkPool)
} // namespace

QThreadPool& workPool()
{
    return *theWorkPool();
}

} // namespace vexa
