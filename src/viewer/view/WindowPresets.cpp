#include "WindowPresets.h"

#include <cmath>

namespace vexa {

std::vector<NamedWindow> WindowPresetsFor(const DicomImageData& image)
{
    if (image.modality.compare(QStringLiteral("CT"), Qt::CaseInsensitive) == 0 && image.monochrome)
        return {
            {QStringLiteral("poumon"), {-600.0, 1500.0}},
            {QStringLiteral("médiastin"), {50.0, 350.0}},
            {QStringLiteral("os"), {400.0, 1800.0}},
            {QStringLiteral("cerveau"), {40.0, 80.0}},
            {QStringLiteral("abdomen"), {60.0, 400.0}},
        };
    return {{QStringLiteral("fenêtre du fichier"), image.defaultWindow}};
}

QString ViewerIndicatorText(int position, int count, const VoiWindow& window, const QString& presetName)
{
    QString text;
    if (count > 0)
        text = QStringLiteral("image %1 / %2\n").arg(position).arg(count);
    text += QStringLiteral("C %1  L %2").arg(std::lround(window.center)).arg(std::lround(window.width));
    if (!presetName.isEmpty())
        text += QStringLiteral("  (") + presetName + QLatin1Char(')');
    return text;
}

} // namespace vexa
