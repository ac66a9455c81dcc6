#include "ParallelImageLoader.h"

#include "DicomLoader.h"

#include <QEventLoop>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentMap>

namespace vexa {

std::vector<DicomLoadResult> LoadImagesInParallel(const QStringList& paths)
{
    if (paths.isEmpty())
        return {};
    std::function<DicomLoadResult(const QString&)> load
        = [](const QString& path) { return path.isEmpty() ? DicomLoadResult() : loadDicomImage(path); };
    QFutureWatcher<DicomLoadResult> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcher<DicomLoadResult>::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(QtConcurrent::mapped(paths, load));
    if (!watcher.isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    watcher.waitForFinished();
    const QList<DicomLoadResult> results = watcher.future().results();
    return {results.begin(), results.end()};
}

} // namespace vexa
