#include "ImageRows.h"

#include "ConquestColumns.h"
#include "Dates.h"

namespace vexa {

QString ExamDayOfImage(const RecordSet& images)
{
    const QString acquired = images.fieldText(Col::AcqDate);
    return YyyymmddToDdMmYyyy(acquired.isEmpty() ? images.fieldText(Col::ImageDate) : acquired);
}

} // namespace vexa
