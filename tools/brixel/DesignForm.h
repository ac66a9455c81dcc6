#pragma once
// A window's stored button design shown as a Qt Designer form, and the form
// written back to the design.
//
// Each section becomes a brixel::Button of the form, named as the section;
// the button's values become its designer properties (colours, lists, fonts,
// pictures, texts), its size and place (twips) its geometry (pixels). Entries
// the designer has no property for travel as dynamic text properties holding
// the stored text. A button whose window places or sizes it in code carries
// the flag "placedByWindow" or "sizedByWindow", so no place or size is added
// to its section.
//
// Written back over the design it came from, the design keeps its comments,
// blank lines, order and the stored text of every value the form did not
// change (a length differing by less than a pixel is unchanged); sections and
// entries the form no longer has are removed, new ones appended.
#include <QString>
#include <optional>

namespace brixel {

struct FormOptions {
    QString formName; // the form's class and top widget name (the window's)
    QString resourceFile; // a .qrc file the form's pictures are taken from, as written in the form
};

QString designToForm(const QString& designText, const FormOptions& options);

struct DesignOptions {
    QString baseDesign; // the design text to update; empty for a new design
    QString formFolder; // where the form's relative picture paths start
    QString designFolder; // pictures under it are written relative to it
};

// The design text, or nothing when the form cannot be read (`error` says why, in French).
std::optional<QString> formToDesign(const QString& formText, const DesignOptions& options, QString* error);

} // namespace brixel
