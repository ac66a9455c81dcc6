#include "ExportProgress.h"

#include "Misc.h"
#include "frmWaitLoad.h"

namespace vexa {

WaitWindowProgress::WaitWindowProgress()
    : window(new frmWaitLoad)
{
}

WaitWindowProgress::~WaitWindowProgress()
{
    delete window;
}

void WaitWindowProgress::begin()
{
    window->show();
    PumpEvents(20);
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
