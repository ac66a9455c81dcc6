#include "base/core/ReplaceText.h"

#include <algorithm>

namespace vexa {

QString replaceText(const QString& text, const QString& find, const QString& replacement, int start,
    int maxCount, int compareMode)
{
    if (find.isEmpty())
        return text;
    const Qt::CaseSensitivity sensitivity = compareMode == 1 ? Qt::CaseInsensitive : Qt::CaseSensitive;
    QString result;
    result.reserve(text.size());
    qsizetype copiedUpTo = 0;
    qsizetype from = std::max(start, 1) - 1;
    int replaced = 0;
    while (maxCount < 0 || replaced < maxCount) {
        const qsizetype found = from <= text.size() ? text.indexOf(find, from, sensitivity) : -1;
        if (found < 0)
            break;
        result += QStringView(text).mid(copiedUpTo, found - copiedUpTo);
        result += replacement;
        copiedUpTo = found + find.size();
        from = copiedUpTo;
        ++replaced;
    }
    result += QStringView(text).mid(copiedUpTo);
    return result;
}

} // namespace vexa
