#pragma once
// A window's Brixel buttons come from the design stored with it; this finds
// one by name and creates it, or a plain default button when the design
// lacks it (a damaged resource must not leave a window without its button).
#include <brixel/Button.h>
#include <brixel/DesignFile.h>

namespace vexa {

brixel::Button* makeDesignButton(const brixel::DesignFile& design, const QString& name, QWidget* parent);

// The stored design at `path` (a file or ":/..." resource); empty when unreadable.
brixel::DesignFile loadDesign(const QString& path);

} // namespace vexa
