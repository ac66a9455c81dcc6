#pragma once
// What the options dialog shows and stores, without widgets: the values of its
// controls, how they are read from the settings store and written back, and
// the two path rules of its browse buttons.
#include "base/core/AppValues.h"

#include <QString>

namespace vexa {

struct OptionsValues : SharedSettings {
    bool etiquetteAutoPrint = false;
    QString nbEtiquette = QStringLiteral("1");
    int formatEtiquette = 1; // the label kind: 0 or 1, 2 when none is ticked
    int position = 0; // the window position: 0 to 4, 5 when none is ticked
};

// The main window's place, stored only while it is in its normal state.
struct MainWindowPlace {
    bool normalState = false;
    int leftTwips = 0;
    int topTwips = 0;
};

OptionsValues loadOptions(const QString& defaultPrinterName);
// Writes every value in the dialog's order, then the main window's place when
// it is in its normal state.
void saveOptions(const OptionsValues& values, const MainWindowPlace& place);

// The image folder proposed for a database path: the Conquest installation
// folder (with its trailing separator) when the database sits in its "dbase"
// folder, else the path itself, which the user then corrects.
QString imageFolderForDatabase(const QString& databasePath);

// The folder of a chosen file, up to and including its last separator.
QString folderOfChosenFile(const QString& filePath);

} // namespace vexa
