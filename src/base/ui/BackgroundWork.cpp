#include "base/ui/BackgroundWork.h"

#include "base/core/WorkPool.h"
#include "base/ui/WaitWindow.h"

#include <QEventLoop>
#include <QFutureWatcher>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace vexa {

namespace {

int runningCount = 0;

// The waiting window for one piece of work, modal to its owner's window.
void showWaiting(WaitWindow& window, QWidget* owner, const BackgroundOptions& options, WorkProgress& progress)
{
    if (owner)
        window.setParent(owner->window(), window.windowFlags());
    window.setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    if (!options.message.isEmpty())
        window.setMessage(options.message);
    QObject::connect(
        &progress, &WorkProgress::progressed, &window, &WaitWindow::setProgress, Qt::QueuedConnection);
    QObject::connect(
        &progress, &WorkProgress::messageChanged, &window, &WaitWindow::setMessage, Qt::QueuedConnection);
    if (options.cancellable) {
        auto* cancel = new QPushButton(QStringLiteral("Annuler"), &window);
        cancel->setObjectName(QStringLiteral("CancelButton"));
        window.layout()->addWidget(cancel);
        QObject::connect(cancel, &QPushButton::clicked, &window, [&progress, cancel] {
            progress.cancel();
            cancel->setEnabled(false);
        });
    }
    window.show();
}

} // namespace

void runInBackground(
    QWidget* owner, const BackgroundOptions& options, const std::function<void(WorkProgress&)>& work)
{
    WorkProgress progress;
    WaitWindow window;
    showWaiting(window, owner, options, progress);
    ++runningCount;
    QFutureWatcher<void> watcher;
    QEventLoop untilDone;
    QObject::connect(&watcher, &QFutureWatcher<void>::finished, &untilDone, &QEventLoop::quit);
    watcher.setFuture(QtConcurrent::run(&workPool(), [&progress, &work] { work(progress); }));
    // The modal waiting window keeps input away from the windows below while
    // the loop serves painting, timers and the progress signals.
    if (!watcher.isFinished())
        untilDone.exec();
    watcher.waitForFinished();
    --runningCount;
    window.close();
}

bool backgroundWorkRunning()
{
    return runningCount > 0;
}

} // namespace vexa
