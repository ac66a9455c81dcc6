#include "ImageViewing.h"

#include "Dates.h"
#include "ImageFiles.h"
#include "JetDialect.h"
#include "PrintMark.h"
#include "SeriesNavigator.h"

namespace vexa {

void PrepareSeriesViewing(ExamIdentity& exam)
{
    exam.ViewerStep = 0;
    exam.ViewerImagePath.clear();
}

bool PrepareSingleImage(const RecordSet& images, const QString& imageRoot, ExamIdentity& exam)
{
    if (images.currentRow() < 0)
        return false;
    QString date = images.fieldText(QStringLiteral("AcqDate"));
    if (date.isEmpty())
        date = images.fieldText(QStringLiteral("ImageDate"));
    exam.ViewerExamDate = YyyymmddToDdMmYyyy(date);
    exam.ViewerPatientName = images.fieldText(QStringLiteral("PatientName"));
    exam.ViewerImagePath = StoredImagePath(imageRoot, images.fieldText(QStringLiteral("ObjectFile")));
    exam.ViewerStep = 99999;
    return true;
}

bool MarkSingleImagePrinted(RecordSet& images, int row, ExamIdentity& exam)
{
    if (!exam.PrintedInViewer || !images.goTo(row))
        return false;
    // Written by the image's key, then the rows read again so they show it.
    const QString sop = images.fieldText(QStringLiteral("SOPInstanc"));
    if (!MarkImagePrinted(images.databasePath(), sop, QDate::currentDate()))
        return false;
    exam.PrintedInViewer = false;
    if (images.requery())
        images.findFirst(QStringLiteral("SOPInstanc = ") + JetQuote(sop));
    return true;
}

} // namespace vexa
