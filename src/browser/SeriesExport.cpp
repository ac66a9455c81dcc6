#include "SeriesExport.h"

#ifdef VEXA_HAVE_JPEG_EXPORT
#include "AppValues.h"
#include "JpegExport.h"
#include "MainRecordSets.h"
#endif

namespace vexa {

#ifdef VEXA_HAVE_JPEG_EXPORT
SeriesExporter ProductionSeriesExporter(MainRecordSets& sets)
{
    return [&sets](const QString& seriesUid) {
        const AppValues& values = appValues();
        DcmtkImageConverters converters;
        WaitWindowProgress progress;
        return ExportSeriesJpeg(
            seriesUid, sets.workSet, values.ConquestPath, values.ConquestImagePath, converters, progress);
    };
}
#else
SeriesExporter ProductionSeriesExporter(MainRecordSets&)
{
    return {};
}
#endif

} // namespace vexa
