#include "browser/export/SeriesExport.h"

#include "base/core/AppValues.h"
#include "base/core/Log.h"
#include "base/core/WorkPool.h"
#include "base/ui/BackgroundWork.h"
#include "base/ui/WaitWindow.h"
#include "browser/export/JpegExport.h"
#include "pacsdb/RecordSet.h"

#include <QPointer>
#include <QThreadPool>

namespace vexa {

namespace {

// The export's progress, passed on to the waiting window from the worker.
class WorkProgressAdapter : public ExportProgress {
public:
    explicit WorkProgressAdapter(WorkProgress& progress)
        : progress_(progress)
    {
    }
    void begin() override { }
    void advance(int done, int total) override { progress_.report(done, total); }
    void end() override { progress_.report(0, 0); }

private:
    WorkProgress& progress_;
};

// Runs on a pool thread: its own record set (and so its own connection).
bool exportOnWorker(
    const QString& conquestPath, const QString& imageRoot, const QString& seriesUid, WorkProgress& progress)
{
    RecordSet images(QStringLiteral("ExportImages"));
    DcmtkImageConverters converters;
    WorkProgressAdapter adapter(progress);
    // This thread mostly waits for the conversions it hands to the pool: it
    // gives its place in the pool back meanwhile, so they use every core.
    workPool().releaseThread();
    const bool exported
        = exportSeriesJpeg(seriesUid, images, conquestPath, imageRoot, converters, adapter, &workPool());
    workPool().reserveThread();
    return exported;
}

} // namespace

SeriesExporter productionSeriesExporter(QWidget* owner)
{
    QPointer<QWidget> guarded(owner);
    return [guarded](const QString& conquestPath, const QString& seriesUid) {
        const QString imageRoot = appValues().conquestImagePath;
        TimedAction timed(QStringLiteral("Images de l'examen"));
        return runInBackground<bool>(guarded.data(), {WaitWindow::DefaultMessage, false},
            [conquestPath, imageRoot, seriesUid](WorkProgress& progress) {
                return exportOnWorker(conquestPath, imageRoot, seriesUid, progress);
            });
    };
}

} // namespace vexa
