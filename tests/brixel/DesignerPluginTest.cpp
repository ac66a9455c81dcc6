// The Designer plugin of the button, loaded as Qt Designer loads it: the widget
// it offers, and its task-menu dialog driving the property page.
#include <brixel/Button.h>

#include "QtPrinters.h"
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPluginLoader>
#include <QPushButton>
#include <QTimer>
#include <QXmlStreamReader>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtDesigner/QExtensionManager>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <functional>
#include <gtest/gtest.h>

using namespace brixel;

namespace {

QDesignerCustomWidgetInterface* loadPlugin()
{
    static QPluginLoader loader(QStringLiteral(BRIXEL_DESIGNER_PLUGIN));
    QObject* instance = loader.instance();
    EXPECT_NE(instance, nullptr) << loader.errorString().toStdString();
    return qobject_cast<QDesignerCustomWidgetInterface*>(instance);
}

// Runs `step` on the modal dialog once it shows.
void onDialog(const std::function<void(QDialog*)>& step)
{
    QTimer::singleShot(0, [step] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        step(dialog);
    });
}

// The part of Designer's core a plugin talks to: its extension manager.
struct DesignerCore : QDesignerFormEditorInterface {
    DesignerCore() { setExtensionManager(new QExtensionManager(this)); }
};

void press(QDialog* dialog, QDialogButtonBox::StandardButton which)
{
    dialog->findChild<QDialogButtonBox*>()->button(which)->click();
}

} // namespace

TEST(BrixelDesignerPlugin, OffersTheButtonToDesigner)
{
    QDesignerCustomWidgetInterface* plugin = loadPlugin();
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(plugin->name(), QStringLiteral("brixel::Button"));
    EXPECT_EQ(plugin->group(), QStringLiteral("Brixel"));
    EXPECT_EQ(plugin->includeFile(), QStringLiteral("brixel/Button.h"));
    EXPECT_FALSE(plugin->isContainer());

    QWidget form;
    QWidget* widget = plugin->createWidget(&form);
    auto* button = qobject_cast<Button*>(widget);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->parentWidget(), &form);
    EXPECT_TRUE(button->designMode());

    // Designer places a new button from this description.
    QXmlStreamReader xml(plugin->domXml());
    QString widgetClass;
    while (xml.readNextStartElement() && widgetClass.isEmpty()) {
        if (xml.name() == QLatin1String("widget"))
            widgetClass = xml.attributes().value(QLatin1String("class")).toString();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(widgetClass, plugin->name());
}

TEST(BrixelDesignerPlugin, TaskMenuEditsTheButtonThroughItsPropertyPage)
{
    QDesignerCustomWidgetInterface* plugin = loadPlugin();
    ASSERT_NE(plugin, nullptr);
    DesignerCore core;
    plugin->initialize(&core);
    EXPECT_TRUE(plugin->isInitialized());

    QWidget form;
    auto* button = qobject_cast<Button*>(plugin->createWidget(&form));
    ASSERT_NE(button, nullptr);
    button->setObjectName(QStringLiteral("cmdOk"));
    button->setWidthTwips(1200);
    auto* menu = qt_extension<QDesignerTaskMenuExtension*>(core.extensionManager(), button);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->taskActions().size(), 1);
    QAction* edit = menu->taskActions().first();
    EXPECT_EQ(edit->text(), QStringLiteral("Modifier le bouton..."));
    EXPECT_EQ(menu->preferredEditAction(), edit);

    // A refused width keeps the dialog open and says so; the rest is written.
    bool closedOnRefusal = true;
    onDialog([&](QDialog* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("txbCaption"))->setText(QStringLiteral("Valider"));
        dialog->findChild<QLineEdit*>(QStringLiteral("txbWidth"))->clear();
        press(dialog, QDialogButtonBox::Ok);
        closedOnRefusal = !dialog->isVisible();
        EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("refusedLabel"))->text(),
            QStringLiteral("Valeurs refusées : cmdOk.Width"));
        dialog->findChild<QLineEdit*>(QStringLiteral("txbWidth"))->setText(QStringLiteral("900"));
        press(dialog, QDialogButtonBox::Ok);
    });
    edit->trigger();
    EXPECT_FALSE(closedOnRefusal);
    EXPECT_EQ(button->caption(), QStringLiteral("Valider"));
    EXPECT_EQ(button->widthTwips(), 900);

    // Cancel writes nothing.
    onDialog([&](QDialog* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("txbCaption"))->setText(QStringLiteral("Autre"));
        press(dialog, QDialogButtonBox::Cancel);
    });
    edit->trigger();
    EXPECT_EQ(button->caption(), QStringLiteral("Valider"));
}
