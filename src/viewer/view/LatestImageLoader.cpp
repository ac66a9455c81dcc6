#include "viewer/view/LatestImageLoader.h"

#include "base/core/WorkPool.h"
#include "dicom/DicomLoader.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentMap>

namespace vexa {

namespace {

DicomLoadResult LoadOne(const QString& path, int frame)
{
    DicomLoadOptions options;
    options.frame = frame;
    return path.isEmpty() ? DicomLoadResult() : loadDicomImage(path, options);
}

} // namespace

LatestImageLoader::LatestImageLoader(Delivery deliver, QObject* parent)
    : QObject(parent)
    , deliver(std::move(deliver))
{
}

// The watcher is a child: destroyed with the loader, it stops listening; the
// decode it watched ends on its worker thread and its result is released.
LatestImageLoader::~LatestImageLoader() = default;

void LatestImageLoader::request(const QStringList& paths, int frame)
{
    wanted = paths;
    wantedFrame = frame;
    waiting = true;
    delivering = false;
    if (!watcher)
        start();
}

void LatestImageLoader::start()
{
    running = wanted;
    waiting = false;
    delivering = true;
    watcher = new QFutureWatcher<DicomLoadResult>(this);
    connect(watcher, &QFutureWatcher<DicomLoadResult>::finished, this, &LatestImageLoader::finished);
    watcher->setFuture(QtConcurrent::mapped(
        &WorkPool(), running, [frame = wantedFrame](const QString& path) { return LoadOne(path, frame); }));
}

void LatestImageLoader::finished()
{
    QFutureWatcher<DicomLoadResult>* done = std::exchange(watcher, nullptr);
    done->deleteLater();
    if (waiting) {
        start(); // a newer request came meanwhile: this result is stale
        return;
    }
    if (!delivering)
        return; // forgotten
    delivering = false;
    const QList<DicomLoadResult> results = done->future().results();
    deliver(running, {results.begin(), results.end()});
}

} // namespace vexa
