#include "pacsdb/ImageRows.h"

#include "base/core/Dates.h"
#include "pacsdb/ConquestColumns.h"

namespace vexa {

QString ExamDayOfImage(const RecordSet& images)
{
    const QString acquired = images.fieldText(Col::AcqDate);
    return YyyymmddToDdMmYyyy(acquired.isEmpty() ? images.fieldText(Col::ImageDate) : acquired);
}

} // namespace vexa
