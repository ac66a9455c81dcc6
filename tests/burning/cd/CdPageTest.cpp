#include "burning/cd/CdPage.h"

#include <gtest/gtest.h>

using namespace vexa;

namespace {

QString markers(int first, int last)
{
    QString text;
    for (int i = first; i <= last; ++i)
        text += QStringLiteral("<!--Image%1 -->\n").arg(i);
    return text;
}

QString link(int k)
{
    return QStringLiteral(
        "<a href=\"javascript:changeImage('JPG/%1.JPG')\"><img border=\"0\" src=\"MINI/%1.JPG\" "
        "width=\"151\" height=\"114\"></a>")
        .arg(k, 8, 10, QLatin1Char('0'));
}

} // namespace

TEST(CdPage, fillsPlaceholdersInAnyCaseAndLinksEachThumbnailToItsPicture)
{
    const QString pageTemplate
        = "<title>**structure**</title><p>**PATIENT**</p><p>**Date**</p><p>**patient**</p>\n" + markers(1, 12)
        + "<!-- Image1 --><!--IMAGE2 -->";
    const QString page = buildCdPage(pageTemplate, {"", "DUPONT^JEAN", "02/01/2024"},
        {"00000001.JPG", "00000002.JPG", "00000003.JPG", "00000004.JPG", "00000005.JPG"});

    EXPECT_TRUE(page.startsWith("<title>Examen radiologique</title><p>Patient: DUPONT^JEAN</p>"
                                "<p>Date de l&#39;examen: 02/01/2024</p><p>Patient: DUPONT^JEAN</p>\n"));
    QString expectedMarkers;
    for (int k = 1; k <= 5; ++k)
        expectedMarkers += link(k) + "\n";
    expectedMarkers += markers(6, 12);
    EXPECT_TRUE(page.contains(expectedMarkers)) << page.toStdString();
    // Markers written otherwise are not this page's markers.
    EXPECT_TRUE(page.endsWith("<!-- Image1 --><!--IMAGE2 -->"));
}

TEST(CdPage, patientTextsCannotBreakThePage)
{
    const QString page = buildCdPage("<h1>**Structure**</h1><p>**Patient**</p><!--Image1 -->",
        {"Cabinet d'imagerie <Sud> & co", "O'BRIEN^ÉLODIE <!--Image1 -->", "01/02/2024"}, {"00000001.JPG"});
    EXPECT_EQ(page,
        "<h1>Cabinet d&#39;imagerie &lt;Sud&gt; &amp; co</h1>"
        "<p>Patient: O&#39;BRIEN^&#201;LODIE &lt;!--Image1 --&gt;</p>"
            + link(1));
}
