#include "base/ui/BackgroundWork.h"
#include "base/ui/WaitWindow.h"

#include <QApplication>
#include <QPushButton>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <QtTest/QTest>
#include <atomic>
#include <gtest/gtest.h>

using namespace vexa;

namespace {

// Waits (on the worker) until the flag is set by the user-interface thread.
void waitFor(const std::atomic_bool& flag)
{
    for (int i = 0; i < 500 && !flag.load(); ++i)
        QThread::msleep(10);
}

TEST(BackgroundWork, RunsOffTheInterfaceThreadBehindAModalWindowAndReturnsItsResult)
{
    QWidget owner;
    owner.setGeometry(200, 150, 800, 500);
    auto* button = new QPushButton(QStringLiteral("Graver"), &owner);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));

    std::atomic_bool checked{false};
    QThread* workThread = nullptr;
    QString progressShown;
    bool runningMeanwhile = false;
    int globalPoolBusy = -1; // Qt's painting waits on that pool: long work stays off it
    QWidget* modalMeanwhile = nullptr;
    QPoint waitCentre;
    // While the work runs, a timer reads the waiting window.
    QTimer::singleShot(50, [&] {
        auto* wait = qobject_cast<WaitWindow*>(QApplication::activeModalWidget());
        if (wait) {
            progressShown = wait->progressText();
            if (wait->isModal() && wait->parentWidget() == &owner)
                modalMeanwhile = wait;
            waitCentre = wait->geometry().center();
        }
        runningMeanwhile = backgroundWorkRunning();
        checked.store(true);
    });
    const int result = runInBackground<int>(
        &owner, {QStringLiteral("Préparation des fichiers...")}, [&](WorkProgress& progress) {
            workThread = QThread::currentThread();
            globalPoolBusy = QThreadPool::globalInstance()->activeThreadCount();
            progress.report(1, 3);
            waitFor(checked);
            return 42;
        });
    EXPECT_EQ(result, 42);
    EXPECT_NE(workThread, QThread::currentThread());
    EXPECT_EQ(globalPoolBusy, 0);
    EXPECT_TRUE(runningMeanwhile);
    EXPECT_FALSE(backgroundWorkRunning());
    EXPECT_EQ(progressShown, QStringLiteral("1 / 3"));
    EXPECT_NE(modalMeanwhile, nullptr) << "no waiting window modal to the owner";
    EXPECT_LE((waitCentre - owner.frameGeometry().center()).manhattanLength(), 8)
        << "not centred on its owner";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}

TEST(BackgroundWork, CancelIsSeenByTheWork)
{
    std::atomic_bool pressed{false};
    QTimer::singleShot(50, [&] {
        auto* cancel = QApplication::activeModalWidget()
            ? QApplication::activeModalWidget()->findChild<QPushButton*>(QStringLiteral("CancelButton"))
            : nullptr;
        if (cancel)
            QTest::mouseClick(cancel, Qt::LeftButton);
        pressed.store(true);
    });
    const bool cancelled = runInBackground<bool>(nullptr, {QString(), true}, [&](WorkProgress& progress) {
        waitFor(pressed);
        return progress.cancelled();
    });
    EXPECT_TRUE(cancelled);
}

} // namespace
