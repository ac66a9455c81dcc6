#include "browser/export/ExportProgress.h"

#include "base/ui/WaitWindow.h"

namespace vexa {

WaitWindowProgress::WaitWindowProgress()
    : window_(new WaitWindow)
{
}

WaitWindowProgress::~WaitWindowProgress()
{
    delete window_;
}

void WaitWindowProgress::begin()
{
    window_->show();
}

void WaitWindowProgress::advance(int done, int total)
{
    window_->setProgress(done, total);
}

void WaitWindowProgress::end()
{
    window_->setProgress(0, 0);
    window_->close();
}

} // namespace vexa
