#pragma once
// The installed printers as the program sees them.
#include <QString>

class QPrinter;

namespace vexa {

// The system default printer's name, "" when no printer is installed.
QString defaultPrinterName();

// Makes the installed printer named exactly `name` (letter case included) the
// program's current printer; nothing changes when none matches.
void selectPrinterByName(const QString& name);
// The same, and points `printer` at it when it matched.
void selectPrinterByName(const QString& name, QPrinter& printer);

// Points `printer` at the program's current printer (if one is set).
void applyCurrentPrinter(QPrinter& printer);

} // namespace vexa
