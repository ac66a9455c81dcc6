// The main window's frame: its popup menu, caption while minimised, the
// about window and the quit sequence.
#include "PacsFixture.h"
#include "ScriptedDialogService.h"

#include "AboutDialog.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::test;

TEST(Frame, PopupMenuHoldsItsItemsInOrder)
{
    MainWindow window;
    QStringList captions;
    for (QAction* action : window.popupMenu->actions())
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(captions.join(u'|'),
        QStringLiteral("VexaDicom|-|&? Aide...|-|&Afficher ...|&Outils...|&Configurer|-|"
                       "A &propos...|-|&Quitter..."));
}

using FrameStarted = StartedOnPacs;

TEST_F(FrameStarted, ConfigureFromTheMenuPausesTheMonitorAndResumesIt)
{
    int intervalWhileOpen = -1;
    started.onOptions = [&] { intervalWhileOpen = started.window.surveyInterval(); };
    started.window.popupMenu->findChild<QAction*>(QStringLiteral("mnuConfig"))->trigger();
    EXPECT_EQ(intervalWhileOpen, 0);
    EXPECT_EQ(started.window.surveyInterval(), 6000);
}

TEST_F(FrameStarted, TheNoticeStaysInPlaceAndTheImagesToPrintSquareSaysWhatItShows)
{
    started.window.show();
    QApplication::processEvents();
    const int hiddenLeft = started.window.noticeLabel->mapToGlobal(QPoint()).x();
    started.window.receivingPicture->show();
    QApplication::processEvents();
    EXPECT_EQ(started.window.noticeLabel->mapToGlobal(QPoint()).x(), hiddenLeft)
        << "the blink moves the notice";
    EXPECT_EQ(started.window.imagesToPrintButton->toolTipText(), "Aucune nouvelle image à imprimer");
}

TEST(Frame, CaptionOnlyWhileMinimised)
{
    MainWindow window;
    window.show();
    window.setWindowState(Qt::WindowMinimized);
    window.Relayout();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("VexaDicom"));
    window.setWindowState(Qt::WindowNoState);
    window.Relayout();
    EXPECT_EQ(window.windowTitle(), QString());
}

TEST(Frame, SystemInfoWithoutViewerSaysSo)
{
    ScriptedDialogService dialogs;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    AboutDialog about;
    about.ShowSystemInfo();
    qputenv("PATH", path);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
        QStringLiteral("Les informations système ne sont pas disponibles actuellement"));
}

TEST(Frame, QuitSequenceClosesEveryWindow)
{
    MainWindow window;
    window.show();
    QWidget other;
    other.show();
    window.QuitSequence();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(other.isVisible());
}

TEST(Frame, EveryPictureTheButtonDesignNamesIsBuiltIn)
{
    QFile design(QStringLiteral(":/app/MainWindow.design"));
    ASSERT_TRUE(design.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(design.readAll());
    const QRegularExpression picture(
        QStringLiteral("^picture\\w+ = \"([^\"]+)\"$"), QRegularExpression::MultilineOption);
    int named = 0;
    for (const auto& match : picture.globalMatch(text)) {
        ++named;
        EXPECT_FALSE(QImage(match.captured(1)).isNull()) << match.captured(1).toStdString();
    }
    EXPECT_GT(named, 0);
}
