#pragma once
#include <QString>

namespace vexa {

// The file's meta header and data set as readable text, one element a line;
// on failure a line saying why.
QString dicomTagsText(const QString& path);

} // namespace vexa
