#include "pacsdb/ImageRows.h"

#include "base/core/Dates.h"
#include "pacsdb/ConquestColumns.h"

namespace vexa {

QString examDayOfImage(const RecordSet& images)
{
    const QString acquired = images.fieldText(col::AcqDate);
    return yyyymmddToDdMmYyyy(acquired.isEmpty() ? images.fieldText(col::ImageDate) : acquired);
}

} // namespace vexa
