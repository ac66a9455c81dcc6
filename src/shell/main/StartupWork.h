#pragma once
// The first start's long database work, run on a worker while the main
// window is already shown: the upgrade, then the naming of every row never named. The worker opens its own
// connection and touches no widget; it reports through queued signals. Destroying the object asks the naming
// to stop after its current batch and waits for the worker (an upgrade under way is finished first).
#include <QFuture>
#include <QObject>
#include <QString>
#include <atomic>

namespace vexa {

class StartupWork : public QObject {
    Q_OBJECT
public:
    explicit StartupWork(QString conquestPath, QObject* parent = nullptr);
    ~StartupWork() override;
    StartupWork(const StartupWork&) = delete;
    StartupWork& operator=(const StartupWork&) = delete;

    void start();

signals:
    // The schema is whole: the lists may be opened.
    void upgraded();
    // The upgrade failed; nothing was named.
    void upgradeFailed(const QString& description);
    // After each stored batch of the naming.
    void progress(qint64 imagesDone);
    // The naming ended; "" or its first failure (the monitor names the rest).
    void finished(const QString& namingError);

private:
    void run();

    QString path_;
    std::atomic<bool> stop_{false};
    QFuture<void> future_;
};

} // namespace vexa
