#include "base/ui/DesignButtons.h"

#include <brixel/Factory.h>
#include <brixel/Twips.h>

namespace vexa {

brixel::Button* makeDesignButton(const brixel::DesignFile& design, const QString& name, QWidget* parent)
{
    const brixel::TextPropertyBag* bag = design.section(name);
    if (!bag) {
        auto* button = new brixel::Button(parent, name);
        button->initProperties();
        return button;
    }
    brixel::Button* button = brixel::createButton(name, *bag, parent);
    const int w = bag->read(QStringLiteral("BtnWidth"), 0).toInt();
    const int h = bag->read(QStringLiteral("BtnHeight"), 0).toInt();
    if (w > 0 && h > 0)
        button->setFixedSize(brixel::twipsToPixels(w), brixel::twipsToPixels(h));
    return button;
}

brixel::DesignFile loadDesign(const QString& path)
{
    return brixel::DesignFile::load(path).value_or(brixel::DesignFile());
}

} // namespace vexa
