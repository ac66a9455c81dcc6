#include "base/core/WorkPool.h"

namespace vexa {

namespace {
Q_GLOBAL_STATIC(QThreadPool, workPool)
} // namespace

QThreadPool& WorkPool()
{
    return *workPool();
}

} // namespace vexa
