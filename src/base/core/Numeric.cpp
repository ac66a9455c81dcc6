#include "base/core/Numeric.h"

namespace vexa {

double numericPrefix(const QString& text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    const qsizetype n = t.size();
    auto digitAt = [&](qsizetype k) { return k < n && t[k].isDigit() && t[k].unicode() < 128; };
    if (i < n && (t[i] == u'+' || t[i] == u'-'))
        ++i;
    const qsizetype mantissaStart = i;
    while (digitAt(i))
        ++i;
    if (i < n && t[i] == u'.') {
        ++i;
        while (digitAt(i))
            ++i;
    }
    const QString mantissa = t.left(i);
    if (i == mantissaStart || mantissa.mid(mantissaStart) == u".")
        return 0.0;
    qsizetype end = i;
    if (i < n && (t[i] == u'e' || t[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (t[j] == u'+' || t[j] == u'-'))
            ++j;
        if (digitAt(j)) {
            while (digitAt(j))
                ++j;
            end = j;
        }
    }
    bool ok = false;
    const double value = t.left(end).toDouble(&ok);
    return ok ? value : 0.0;
}

} // namespace vexa
