#include "ButtonDesignerPlugin.h"

#include "ButtonTaskMenu.h"
#include <brixel/Button.h>

#include <QIcon>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QExtensionManager>

namespace brixel {

ButtonDesignerPlugin::ButtonDesignerPlugin(QObject* parent)
    : QObject(parent)
{
}

QString ButtonDesignerPlugin::name() const
{
    return QStringLiteral("brixel::Button");
}

QString ButtonDesignerPlugin::group() const
{
    return QStringLiteral("Brixel");
}

QString ButtonDesignerPlugin::toolTip() const
{
    return QString::fromLatin1(Button::ClassName);
}

QString ButtonDesignerPlugin::whatsThis() const
{
    return QStringLiteral("Bouton Brixel : légende, image, aspects normal, survolé et enfoncé, info-bulle.");
}

QString ButtonDesignerPlugin::includeFile() const
{
    return QStringLiteral("brixel/Button.h");
}

QIcon ButtonDesignerPlugin::icon() const
{
    return {};
}

bool ButtonDesignerPlugin::isContainer() const
{
    return false;
}

QWidget* ButtonDesignerPlugin::createWidget(QWidget* parent)
{
    auto* button = new Button(parent);
    button->setDesignMode(true);
    button->initProperties();
    return button;
}

bool ButtonDesignerPlugin::isInitialized() const
{
    return m_initialized;
}

void ButtonDesignerPlugin::initialize(QDesignerFormEditorInterface* core)
{
    if (m_initialized || core == nullptr)
        return;
    QExtensionManager* manager = core->extensionManager();
    if (manager != nullptr)
        manager->registerExtensions(new ButtonTaskMenuFactory(manager), Q_TYPEID(QDesignerTaskMenuExtension));
    m_initialized = true;
}

QString ButtonDesignerPlugin::domXml() const
{
    // A new button is 1500 x 450 twips and shows a caption until one is given.
    return QStringLiteral(R"(<ui language="c++">
 <widget class="brixel::Button" name="button">
  <property name="geometry">
   <rect><x>0</x><y>0</y><width>100</width><height>30</height></rect>
  </property>
  <property name="caption">
   <string>Button</string>
  </property>
 </widget>
</ui>
)");
}

} // namespace brixel
