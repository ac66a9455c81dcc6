#include "browser/export/ExportProgress.h"

#include "base/ui/WaitWindow.h"

namespace vexa {

WaitWindowProgress::WaitWindowProgress()
    : window(new WaitWindow)
{
}

WaitWindowProgress::~WaitWindowProgress()
{
    delete window;
}

void WaitWindowProgress::begin()
{
    window->show();
}

void WaitWindowProgress::advance(int done, int total)
{
    window->setProgress(done, total);
}

void WaitWindowProgress::end()
{
    window->setProgress(0, 0);
    window->close();
}

} // namespace vexa
