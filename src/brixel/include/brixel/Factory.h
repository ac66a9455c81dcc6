#pragma once
// Creating buttons by class name and from a window's stored design.
#include <brixel/Button.h>

#include <QList>
#include <QString>

namespace brixel {

class DesignFile;
class PropertyBag;

// The control class named (case ignored), as a fresh instance; nullptr for a
// name this library does not hold. Only "Brixel.Button" is known.
QWidget* createControl(const QString& className, QWidget* parent, const QString& name = QString());

// A button named as its window holds it, read from its stored property values.
Button* createButton(const QString& name, const PropertyBag& bag, QWidget* parent);

// One button per section of the design, in the order stored, each placed at
// the design's optional "left" and "top" entries (twips) on the parent.
QList<Button*> createButtons(const DesignFile& design, QWidget* parent);

} // namespace brixel
