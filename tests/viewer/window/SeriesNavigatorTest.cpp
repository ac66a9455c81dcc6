// Texts and paths the viewer derives from an image record.
#include "base/core/Dates.h"
#include "pacsdb/ImageFiles.h"
#include "viewer/window/ViewerTexts.h"

#include <gtest/gtest.h>

using namespace vexa;

TEST(ViewerTexts, ExamDateIsShownDayFirst)
{
    EXPECT_EQ(yyyymmddToDdMmYyyy(QStringLiteral("20260314")), QStringLiteral("14/03/2026"));
    EXPECT_EQ(yyyymmddToDdMmYyyy(QString()), QString());
}

TEST(ViewerTexts, ImagePathJoinsRootAndWindowsStyleObjectFile)
{
    EXPECT_EQ(storedImagePath(QStringLiteral("/data"), QStringLiteral("PAT1\\a.v2")),
        QStringLiteral("/data/PAT1/a.v2"));
    EXPECT_EQ(storedImagePath(QStringLiteral("/data/"), QStringLiteral("PAT1/a.dcm")),
        QStringLiteral("/data/PAT1/a.dcm"));
}

TEST(ViewerTexts, TitleAndCaptionLeaveOutEmptyParts)
{
    struct Case {
        QString entete, name, date, title, caption;
    };
    const Case cases[] = {
        {"Cabinet", "DUPONT", "14/03/2026", "Patient : DUPONT ; Date de l'examen : 14/03/2026",
            "Cabinet|Patient: DUPONT|Date de l'examen: 14/03/2026|"},
        {"", "DUPONT", "", "Patient : DUPONT ; ", "Patient: DUPONT|"},
        {"", "", "14/03/2026", "Date de l'examen : 14/03/2026", "Date de l'examen: 14/03/2026|"},
        {"", "", "", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(viewerTitleLine(c.name, c.date), c.title);
        EXPECT_EQ(viewerPrintCaption(c.entete, c.name, c.date), c.caption);
    }
}
