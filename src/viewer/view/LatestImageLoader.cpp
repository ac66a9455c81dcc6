#include "viewer/view/LatestImageLoader.h"

#include "base/core/WorkPool.h"
#include "dicom/DicomLoader.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentMap>

namespace vexa {

namespace {

DicomLoadResult loadOne(const QString& path, int frame)
{
    DicomLoadOptions options;
    options.frame = frame;
    return path.isEmpty() ? DicomLoadResult() : loadDicomImage(path, options);
}

} // namespace

LatestImageLoader::LatestImageLoader(Delivery deliver, QObject* parent)
    : QObject(parent)
    , deliver_(std::move(deliver))
{
}

// The watcher is a child: destroyed with the loader, it stops listening; the
// decode it watched ends on its worker thread and its result is released.
LatestImageLoader::~LatestImageLoader() = default;

void LatestImageLoader::request(const QStringList& paths, int frame)
{
    wanted_ = paths;
    wantedFrame_ = frame;
    waiting_ = true;
    delivering_ = false;
    if (!watcher_)
        start();
}

void LatestImageLoader::start()
{
    running_ = wanted_;
    waiting_ = false;
    delivering_ = true;
    watcher_ = new QFutureWatcher<DicomLoadResult>(this);
    connect(watcher_, &QFutureWatcher<DicomLoadResult>::finished, this, &LatestImageLoader::finished);
    watcher_->setFuture(QtConcurrent::mapped(
        &workPool(), running_, [frame = wantedFrame_](const QString& path) { return loadOne(path, frame); }));
}

void LatestImageLoader::finished()
{
    QFutureWatcher<DicomLoadResult>* done = std::exchange(watcher_, nullptr);
    done->deleteLater();
    if (waiting_) {
        start(); // a newer request came meanwhile: this result is stale
        return;
    }
    if (!delivering_)
        return; // forgotten
    delivering_ = false;
    const QList<DicomLoadResult> results = done->future().results();
    deliver_(running_, {results.begin(), results.end()});
}

} // namespace vexa
