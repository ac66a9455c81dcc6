#include "shell/main/StartupWork.h"

#include "base/core/Log.h"
#include "base/core/WorkPool.h"
#include "pacsdb/ExamNaming.h"
#include "pacsdb/PacsUpgrade.h"

#include <QElapsedTimer>
#include <QtConcurrent/QtConcurrentRun>

namespace vexa {

StartupWork::StartupWork(QString conquestPath, QObject* parent)
    : QObject(parent)
    , path_(std::move(conquestPath))
{
}

StartupWork::~StartupWork()
{
    stop_ = true;
    future_.waitForFinished();
}

void StartupWork::start()
{
    future_ = QtConcurrent::run(&workPool(), [this] { run(); });
}

// Signals emitted from the worker reach the user-interface thread queued.
void StartupWork::run()
{
    QElapsedTimer timer;
    timer.start();
    const QString failure = openAndUpgrade(path_);
    if (!failure.isEmpty()) {
        emit upgradeFailed(failure);
        return;
    }
    qCInfo(logDatabase).noquote() << QStringLiteral("base mise à jour en %1 ms").arg(timer.restart());
    emit upgraded();
    const QString error = nameAtFirstStart(path_, [this](qint64 done) {
        emit progress(done);
        return !stop_;
    });
    qCInfo(logDatabase).noquote() << QStringLiteral("premiers noms en %1 ms").arg(timer.elapsed());
    emit finished(error);
}

} // namespace vexa
