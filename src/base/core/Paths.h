#pragma once
// Folder paths as the settings give them: blanks trimmed, one trailing separator.
#include <QString>

namespace vexa {

// Removes trailing blanks and appends the native separator "/" unless the
// path already ends with it. The argument is changed too, and returned.
QString withTrailingBackslash(QString& path);

} // namespace vexa
