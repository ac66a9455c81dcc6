#pragma once
// The threads of the program's own long work: exports, conversions, the CD
// preparation, image loading, folder listings, drive calls. Qt's raster
// painting spreads large fills over QThreadPool::globalInstance() and waits
// for them, so work queued there for seconds stalls every repaint of the
// interface (the waiting window's bar froze for a third of a second at each
// picture of an exam being opened). Long work therefore never goes there.
#include <QThreadPool>

namespace vexa {

QThreadPool& workPool();

} // namespace vexa
