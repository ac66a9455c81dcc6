#include "viewer/window/ViewerTexts.h"

namespace vexa {

QString viewerTitleLine(const QString& patientName, const QString& examDate)
{
    QString title;
    if (!patientName.isEmpty())
        title += QStringLiteral("Patient : ") + patientName + QStringLiteral(" ; ");
    if (!examDate.isEmpty())
        title += QStringLiteral("Date de l'examen : ") + examDate;
    return title;
}

QString viewerPrintCaption(const QString& entete, const QString& patientName, const QString& examDate)
{
    QString caption;
    if (!entete.isEmpty())
        caption += entete + QLatin1Char('|');
    if (!patientName.isEmpty())
        caption += QStringLiteral("Patient: ") + patientName + QLatin1Char('|');
    if (!examDate.isEmpty())
        caption += QStringLiteral("Date de l'examen: ") + examDate + QLatin1Char('|');
    return caption;
}

} // namespace vexa
