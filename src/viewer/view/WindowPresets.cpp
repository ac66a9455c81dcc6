#include "viewer/view/WindowPresets.h"

#include <cmath>

namespace vexa {

std::vector<NamedWindow> fileWindowsOf(const DicomImageData& image)
{
    std::vector<NamedWindow> named;
    const std::size_t count = image.fileWindows.size();
    for (std::size_t i = 0; i < count; ++i) {
        const VoiWindow& window = image.fileWindows[i];
        QString name = window.explanation.trimmed();
        if (name.isEmpty())
            name = count == 1 ? QStringLiteral("fenêtre du fichier")
                              : QStringLiteral("fenêtre %1 du fichier").arg(i + 1);
        named.push_back({name, window});
    }
    return named;
}

std::vector<NamedWindow> windowPresetsFor(const DicomImageData& image)
{
    if (image.modality.compare(QStringLiteral("CT"), Qt::CaseInsensitive) == 0 && image.monochrome)
        return {
            {QStringLiteral("poumon"), {-600.0, 1500.0}},
            {QStringLiteral("médiastin"), {50.0, 350.0}},
            {QStringLiteral("os"), {400.0, 1800.0}},
            {QStringLiteral("cerveau"), {40.0, 80.0}},
            {QStringLiteral("abdomen"), {60.0, 400.0}},
        };
    std::vector<NamedWindow> own = fileWindowsOf(image);
    if (own.empty())
        return {{QStringLiteral("fenêtre du fichier"), image.defaultWindow}};
    if (own.size() > 5)
        own.resize(5);
    return own;
}

QString viewerIndicatorText(
    const ViewerPosition& position, const VoiWindow& window, const QString& windowName)
{
    QString text;
    if (position.imageCount > 0)
        text = QStringLiteral("image %1 / %2").arg(position.image).arg(position.imageCount);
    if (position.frameCount > 1) {
        if (!text.isEmpty())
            text += QStringLiteral("  ");
        text += QStringLiteral("trame %1 / %2").arg(position.frame).arg(position.frameCount);
    }
    if (!text.isEmpty())
        text += QLatin1Char('\n');
    text += QStringLiteral("C %1  L %2").arg(std::lround(window.center)).arg(std::lround(window.width));
    if (!windowName.isEmpty())
        text += QStringLiteral("  (") + windowName + QLatin1Char(')');
    return text;
}

} // namespace vexa
