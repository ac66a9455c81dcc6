#include "base/core/PersonName.h"

#include <QStringList>

namespace vexa {

QString readablePersonName(const QString& dicomName)
{
    QStringList parts;
    for (const QString& part : dicomName.split(u'^')) {
        const QString component = part.simplified();
        if (!component.isEmpty())
            parts << component;
    }
    return parts.isEmpty() ? QStringLiteral("") : parts.join(u' ');
}

} // namespace vexa
