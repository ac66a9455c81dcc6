#pragma once
// Decodes DICOM files on the worker threads for a window that shows them, and
// hands back only what the window asked for last: a request made while an
// older one still decodes replaces it, and the older result is dropped when it
// arrives. One decode runs at a time, so holding a key never piles up work.
// The window may be destroyed meanwhile: a decode still running finishes
// unseen, nothing of the window is touched.
#include "dicom/DicomImageData.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <vector>

template <typename T> class QFutureWatcher;

namespace vexa {

class LatestImageLoader : public QObject {
    Q_OBJECT
public:
    // Called on the window's thread with the files of the latest request and
    // one result per file, in their order ("" gives an empty result).
    using Delivery = std::function<void(const QStringList& paths, std::vector<DicomLoadResult> results)>;

    explicit LatestImageLoader(Delivery deliver, QObject* parent = nullptr);
    ~LatestImageLoader() override;

    // Asks for one frame (from 0) of each file.
    void request(const QStringList& paths, int frame = 0);
    // Forgets the request not yet delivered (the window closes).
    void forget()
    {
        waiting_ = false;
        delivering_ = false;
    }
    // True from a request until its result is delivered or forgotten.
    bool busy() const { return waiting_ || delivering_; }

private:
    void start();
    void finished();

    Delivery deliver_;
    QStringList wanted_; // the latest request, not yet started
    int wantedFrame_ = 0;
    QStringList running_; // the files the decode under way reads
    bool waiting_ = false; // `wanted` waits for the running decode to end
    bool delivering_ = false; // the running decode is the latest request
    QFutureWatcher<DicomLoadResult>* watcher_ = nullptr;
};

} // namespace vexa
