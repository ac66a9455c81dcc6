#pragma once
// Long work off the user-interface thread. The work runs on the work pool
// (WorkPool.h) while a waiting window, modal to the window that started it, shows its
// progress: that window takes no input until the work ends, nothing re-enters
// it, and the work's result comes back to the caller. A worker that needs the
// database opens its own connection (PacsConnection does so per thread).
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <optional>

class QWidget;

namespace vexa {

// What the work reports, from any thread; the waiting window follows it.
class WorkProgress : public QObject {
    Q_OBJECT
public:
    void report(int done, int total) { emit progressed(done, total); }
    void setMessage(const QString& text) { emit messageChanged(text); }
    // Set by the waiting window's cancel button (when offered); the work
    // checks it between its steps and stops cleanly.
    bool cancelled() const { return cancelled_.load(); }
    void cancel() { cancelled_.store(true); }

signals:
    void progressed(int done, int total);
    void messageChanged(const QString& text);

private:
    std::atomic_bool cancelled_{false};
};

struct BackgroundOptions {
    QString message; // the waiting window's line
    bool cancellable = false; // offers "Annuler", which sets cancelled()
};

// Runs work on the thread pool and returns when it has ended. The waiting
// window shows from the start (modal to owner's window, or to the
// application without an owner).
void runInBackground(
    QWidget* owner, const BackgroundOptions& options, const std::function<void(WorkProgress&)>& work);

// The same for work that returns a value.
template <typename Result>
Result runInBackground(
    QWidget* owner, const BackgroundOptions& options, const std::function<Result(WorkProgress&)>& work)
{
    std::optional<Result> result;
    runInBackground(owner, options, [&](WorkProgress& progress) { result.emplace(work(progress)); });
    return std::move(*result);
}

// True while any background work started here runs (a second start of an
// action is refused meanwhile; tests wait on it).
bool backgroundWorkRunning();

} // namespace vexa
