#pragma once
// What an image row read from Conquest's images table means beyond its
// columns, for every window that shows or prints the image.
#include "pacsdb/RecordSet.h"

namespace vexa {

// The day of the current image row's exam as "dd/mm/yyyy": its acquisition
// date, else its image date (some modalities leave AcqDate empty); "" when
// neither is a date.
QString examDayOfImage(const RecordSet& images);

} // namespace vexa
