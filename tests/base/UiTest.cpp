#include "base/core/CurrentPrinter.h"
#include "base/ui/Printers.h"
#include "base/ui/QtDialogService.h"
#include "base/ui/QtFrench.h"
#include "base/ui/WaitWindow.h"
#include "base/ui/WindowOrder.h"
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>
#include <gtest/gtest.h>

using namespace vexa;

namespace {

// Acts on the modal dialog the service is about to run, once it is up.
void whenModalShows(std::function<void(QWidget*)> action)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [action, poll] {
        if (QWidget* modal = QApplication::activeModalWidget())
            action(modal);
        else
            QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(10, *poll);
}

} // namespace

TEST(WaitWindow, ShowsItsRestingMessageOnTopAndCountsSteps)
{
    WaitWindow wait;
    auto* message = wait.findChild<QLabel*>("Message");
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->text(), "Veuillez patienter :  Réceptions des images en cours...");

    wait.setMessage("Préparation des fichiers pour la gravure. Merci de patienter...");
    wait.show();
    EXPECT_TRUE(wait.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(message->text(), "Préparation des fichiers pour la gravure. Merci de patienter...");
    EXPECT_EQ(wait.progressText(), "");

    wait.setProgress(3, 12);
    EXPECT_EQ(wait.progressText(), "3 / 12");
    wait.setProgress(0, 0);
    EXPECT_EQ(wait.progressText(), "");
}

TEST(WindowOrder, TopmostAndBackKeepTheWindowsPlaceAndSize)
{
    QWidget window;
    window.setGeometry(120, 80, 300, 200);
    setWindowTopmost(&window);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(window.geometry().size(), QSize(300, 200));

    setWindowNotTopmost(&window);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(window.geometry().size(), QSize(300, 200));
    setWindowTopmost(nullptr); // nothing to do, no crash
}

TEST(WindowOrder, ADialogBeingShownStaysOpenWhenItChangesBand)
{
    QDialog dialog;
    bool shownThroughout = false;
    QTimer::singleShot(0, &dialog, [&] {
        setWindowTopmost(&dialog);
        setWindowNotTopmost(&dialog);
        setWindowTopmost(&dialog);
        QTimer::singleShot(20, &dialog, [&] {
            shownThroughout = dialog.isVisible();
            dialog.done(7);
        });
    });
    EXPECT_EQ(dialog.exec(), 7) << "the modal loop went on";
    EXPECT_TRUE(shownThroughout);
    EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST(Printers, ANameDifferingOnlyInCaseLeavesTheCurrentPrinter)
{
    // The private test scheduler installs the queue "VexaPDF".
    const QStringList installed = QPrinterInfo::availablePrinterNames();
    ASSERT_TRUE(installed.contains("VexaPDF")) << installed.join(", ").toStdString();
    setCurrentPrinterName("avant");
    selectPrinterByName(installed.first().toUpper() == installed.first() ? installed.first().toLower()
                                                                         : installed.first().toUpper());
    EXPECT_EQ(currentPrinterName(), "avant");
    selectPrinterByName(installed.first());
    EXPECT_EQ(currentPrinterName(), installed.first());
}

TEST(QtDialogService, AnswersComeFromTheRealDialogs)
{
    QtDialogService service;
    whenModalShows([](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); });
    EXPECT_EQ(
        service.message({"Supprimer ?", "VexaDICOM", MsgIcon::Question, MsgButtons::YesNo, MsgResult::No}),
        MsgResult::No)
        << "Enter takes the default button";

    whenModalShows([](QWidget* box) {
        auto* input = qobject_cast<QInputDialog*>(box);
        ASSERT_NE(input, nullptr);
        EXPECT_EQ(input->textValue(), "/tmp/a.htm");
        input->setTextValue("/tmp/b.htm");
        input->accept();
    });
    EXPECT_EQ(service.input({"Nom ?", "Nom Invalide...", "/tmp/a.htm"}), QString("/tmp/b.htm"));

    whenModalShows([](QWidget* box) { qobject_cast<QDialog*>(box)->reject(); });
    EXPECT_EQ(service.input({"Nom ?", "Nom Invalide...", "x"}), std::nullopt);
}

TEST(QtFrench, StandardButtonsSpeakFrench)
{
    ASSERT_TRUE(installQtFrench(*QCoreApplication::instance())) << "qt6-translations-l10n missing";
    QDialogButtonBox box(QDialogButtonBox::Yes | QDialogButtonBox::No | QDialogButtonBox::Cancel);
    EXPECT_EQ(box.button(QDialogButtonBox::Yes)->text().remove(u'&'), "Oui");
    EXPECT_EQ(box.button(QDialogButtonBox::No)->text().remove(u'&'), "Non");
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text().remove(u'&'), "Annuler");
}
