#include "CtSeries.h"

#include "SyntheticPixels.h"
#include "burning/export/ImageConverters.h"
#include "dicom/DicomWriter.h"

#include <QDir>
#include <QtConcurrent/QtConcurrentMap>

namespace vexa::bench {

QStringList writeCtSeries(const QString& folder, const QString& seriesUid, int count, int depthStep)
{
    QDir().mkpath(folder);
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        NewDicomImage image;
        image.patientName = "DUPONT^JEAN";
        image.patientId = "PAT001";
        image.studyInstanceUid = seriesUid + ".1";
        image.seriesInstanceUid = seriesUid;
        image.sopInstanceUid = newDicomUid();
        image.sopClassUid = sop_class::CtImage;
        image.modality = "CT";
        image.studyDate = "20240102";
        image.studyTime = "101500";
        image.studyId = "1";
        image.instanceNumber = i + 1;
        image.columns = 512;
        image.rows = 512;
        image.pixelData = demo::ctSlice(512, 512, i * depthStep, 7);
        image.windowCenter = 40;
        image.windowWidth = 400;
        image.rescaleIntercept = -1024;
        image.rescaleSlope = 1;
        const QString path = QStringLiteral("%1/slice%2.v2").arg(folder).arg(i, 3, 10, QLatin1Char('0'));
        if (!writeDicomImage(image, path, DicomFileLayout::BareImplicitLittle).ok)
            qFatal("cannot write %s", qPrintable(path));
        paths << path;
    }
    DcmtkImageConverters converters;
    QtConcurrent::blockingMap(paths, [&converters](const QString& path) {
        converters.makePreviewPicture(path);
        converters.makeFullSizePicture(path);
    });
    return paths;
}

} // namespace vexa::bench
