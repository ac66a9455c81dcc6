#include "base/core/Paths.h"

namespace vexa {

QString withTrailingBackslash(QString& path)
{
    qsizetype end = path.size();
    while (end > 0 && path[end - 1] == u' ')
        --end;
    path.truncate(end);
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

} // namespace vexa
