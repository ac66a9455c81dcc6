#include "viewer/measure/MeasurePresets.h"
#include "base/core/Numeric.h"

namespace vexa {

QStringList textSizeChoices()
{
    return {QStringLiteral("10"), QStringLiteral("11"), QStringLiteral("12"), QStringLiteral("13"),
        QStringLiteral("14"), QStringLiteral("16"), QStringLiteral("18"), QStringLiteral("20"),
        QStringLiteral("24"), QStringLiteral("28"), QStringLiteral("32"), QStringLiteral("36"),
        QStringLiteral("48")};
}

int16_t textSizeFrom(const QString& sizeText)
{
    const double value = numericPrefix(sizeText);
    if (value < 10.0 || value > 72.0)
        return DefaultTextSize;
    return static_cast<int16_t>(roundHalfEven(value));
}

} // namespace vexa
