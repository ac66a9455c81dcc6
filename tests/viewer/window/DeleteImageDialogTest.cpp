// The deletion question sets its shared flag only on "Oui".
#include "viewer/window/DeleteImageDialog.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace vexa;

TEST(DeleteImageDialog, ConfirmsOnlyOnYes)
{
    for (const bool yes : {true, false}) {
        deleteImageShared().deleteImageConfirmed = true; // left over from an earlier run
        DeleteImageDialog dialog;
        EXPECT_FALSE(deleteImageShared().deleteImageConfirmed) << "cleared on load";
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Effacer une image"));
        dialog.show();
        QTest::mouseClick(yes ? dialog.yesButton : dialog.noButton, Qt::LeftButton);
        EXPECT_EQ(deleteImageShared().deleteImageConfirmed, yes);
        EXPECT_FALSE(dialog.isVisible());
    }
}
