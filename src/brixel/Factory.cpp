#include <brixel/Factory.h>

#include <brixel/DesignFile.h>
#include <brixel/Twips.h>

namespace brixel {

QWidget* createControl(const QString& className, QWidget* parent, const QString& name)
{
    if (className.compare(QLatin1String(Button::ClassName), Qt::CaseInsensitive) != 0)
        return nullptr;
    auto* button = new Button(parent, name);
    button->initProperties();
    return button;
}

Button* createButton(const QString& name, const PropertyBag& bag, QWidget* parent)
{
    auto* button = new Button(parent, name);
    button->readProperties(bag);
    return button;
}

QList<Button*> createButtons(const DesignFile& design, QWidget* parent)
{
    QList<Button*> buttons;
    for (const QString& name : design.sectionNames()) {
        const TextPropertyBag& bag = *design.section(name);
        Button* button = createButton(name, bag, parent);
        // Position is the container's business, kept beside the button's own values.
        const int left = bag.read(QStringLiteral("Left"), 0).toInt();
        const int top = bag.read(QStringLiteral("Top"), 0).toInt();
        button->move(twipsToPixels(left), twipsToPixels(top));
        buttons << button;
    }
    return buttons;
}

} // namespace brixel
