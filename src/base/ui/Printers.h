#pragma once
// The installed printers as the program sees them.
#include <QString>

class QPrinter;

namespace vexa {

// The system default printer's name, "" when no printer is installed.
QString DefaultPrinterName();

// Makes the installed printer named exactly `name` (letter case included) the
// program's current printer; nothing changes when none matches.
void SelectPrinterByName(const QString& name);
// The same, and points `printer` at it when it matched.
void SelectPrinterByName(const QString& name, QPrinter& printer);

// Points `printer` at the program's current printer (if one is set).
void ApplyCurrentPrinter(QPrinter& printer);

} // namespace vexa
