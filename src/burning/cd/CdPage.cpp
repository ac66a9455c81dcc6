#include "burning/cd/CdPage.h"

#include "base/core/ReplaceText.h"

namespace vexa {

namespace {

constexpr int ignoreCase = 1;

QString thumbnailLink(const QString& pictureName)
{
    return QStringLiteral("<a href=\"javascript:changeImage('%1/%3')\"><img border=\"0\" src=\"%2/%3\" "
                          "width=\"151\" height=\"114\"></a>")
        .arg(CdPictureFolder, CdThumbnailFolder, pictureName);
}

} // namespace

QString htmlText(const QString& text)
{
    QString html;
    html.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '<':
            html += QStringLiteral("&lt;");
            break;
        case '>':
            html += QStringLiteral("&gt;");
            break;
        case '&':
            html += QStringLiteral("&amp;");
            break;
        case '"':
            html += QStringLiteral("&quot;");
            break;
        case '\'':
            html += QStringLiteral("&#39;");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() > 0x7e)
                html += QStringLiteral("&#%1;").arg(c.unicode());
            else
                html += c;
        }
    }
    return html;
}

QString buildCdPage(const QString& pageTemplate, const CdPageTexts& texts, const QStringList& pictureNames)
{
    const QString heading = texts.heading.isEmpty() ? DefaultCdHeading : texts.heading;
    QString page = pageTemplate;
    page = replaceText(page, QStringLiteral("**Structure**"), htmlText(heading), 1, -1, ignoreCase);
    page = replaceText(page, QStringLiteral("**Patient**"),
        htmlText(QStringLiteral("Patient: ") + texts.patientName), 1, -1, ignoreCase);
    page = replaceText(page, QStringLiteral("**Date**"),
        htmlText(QStringLiteral("Date de l'examen: ") + texts.examDate), 1, -1, ignoreCase);
    for (int i = 0; i < pictureNames.size(); ++i) {
        const QString marker = QStringLiteral("<!--Image%1 -->").arg(i + 1);
        page = replaceText(page, marker, thumbnailLink(pictureNames[i]));
    }
    return page;
}

} // namespace vexa
