#pragma once
// Input delivered while long work runs: the worker stops at a point of its
// choosing (pause()), the user-interface thread, still serving its waiting
// window's loop, delivers the test's input, then the worker goes on. Shows
// that what the user does meanwhile changes nothing the work finishes on.
#include <QSemaphore>
#include <QTimer>
#include <functional>

namespace vexa::test {

class WorkPause {
public:
    // `input` runs once on the user-interface thread, at the first pause().
    explicit WorkPause(std::function<void()> input)
        : input_(std::move(input))
    {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            if (!paused_.tryAcquire())
                return;
            poll_.stop();
            input_();
            delivered_ = true;
            resume_.release();
        });
        poll_.start(1);
    }

    // Called on the worker: waits until the input was delivered (at most
    // 20 s, so a loop that never runs fails the test instead of hanging it).
    // Later calls return at once.
    void pause()
    {
        if (pausedOnce_.testAndSetRelaxed(0, 1)) {
            paused_.release();
            resume_.tryAcquire(1, 20000);
        }
    }

    bool delivered() const { return delivered_; }

private:
    std::function<void()> input_;
    QTimer poll_;
    QSemaphore paused_;
    QSemaphore resume_;
    QAtomicInt pausedOnce_ = 0;
    bool delivered_ = false;
};

} // namespace vexa::test
