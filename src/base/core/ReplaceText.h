#pragma once
// Text replacement as the program's texts and templates use it.
#include <QString>

namespace vexa {

// Replaces, left to right and without overlap, at most `maxCount` occurrences
// (-1: all) of `find` in `text`, searching from the 1-based position `start`;
// text before `start` is kept. Compare mode 1 ignores letter case (the letters
// outside the replaced parts stay as given); any other mode is exact. An empty
// `find` returns the text unchanged.
QString replaceText(const QString& text, const QString& find, const QString& replacement, int start = 1,
    int maxCount = -1, int compareMode = 0);

} // namespace vexa
