#pragma once
// Small free helpers every window uses: text replacement, path completion and
// letting pending events run during long actions.
#include <QString>

namespace vexa {

// Replaces, left to right and without overlap, at most `maxCount` occurrences
// (-1: all) of `find` in `text`, searching from the 1-based position `start`;
// text before `start` is kept. Compare mode 1 ignores letter case (the letters
// outside the replaced parts stay as given); any other mode is exact. An empty
// `find` returns the text unchanged.
QString ReplaceText(const QString& text, const QString& find, const QString& replacement, int start = 1,
    int maxCount = -1, int compareMode = 0);

// Removes trailing blanks and appends the native separator "/" unless the
// path already ends with it. The argument is changed too, and returned.
QString WithTrailingBackslash(QString& path);

// Lets pending events run n + 1 times in a row (PumpEvents(20) runs them 21 times).
void PumpEvents(int n);

} // namespace vexa
