#include "SeriesExport.h"

#ifdef VEXA_HAVE_JPEG_EXPORT
#include "AppValues.h"
#include "JpegExport.h"
#include "PumpEvents.h"
#include "RecordSet.h"
#include "WaitWindow.h"

#include <QPointer>
#endif

namespace vexa {

#ifdef VEXA_HAVE_JPEG_EXPORT
namespace {

// The waiting window, modal for the whole application while the export runs.
class ModalWaitProgress : public ExportProgress {
public:
    explicit ModalWaitProgress(QWidget* owner)
        : window_(owner)
    {
        window_.setWindowModality(Qt::ApplicationModal);
    }
    void begin() override
    {
        window_.show();
        PumpEvents(20);
    }
    void advance(int done, int total) override { window_.setProgress(done, total); }
    void end() override
    {
        window_.setProgress(0, 0);
        window_.close();
    }

private:
    WaitWindow window_;
};

} // namespace

SeriesExporter ProductionSeriesExporter(QWidget* owner)
{
    QPointer<QWidget> guarded(owner);
    return [guarded](const QString& conquestPath, const QString& seriesUid) {
        RecordSet images(QStringLiteral("ExportImages"));
        DcmtkImageConverters converters;
        ModalWaitProgress progress(guarded.data());
        return ExportSeriesJpeg(
            seriesUid, images, conquestPath, appValues().ConquestImagePath, converters, progress);
    };
}
#else
SeriesExporter ProductionSeriesExporter(QWidget*)
{
    return {};
}
#endif

} // namespace vexa
