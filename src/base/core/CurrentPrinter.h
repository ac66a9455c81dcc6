#pragma once
// The program's current printer: the name of the installed printer that the
// next print job uses. Start-up sets it to the default printer; the print
// windows switch it with SelectPrinterByName (app_ui gives the installed list).
#include <QString>
#include <QStringList>

namespace vexa {

QString currentPrinterName();
void setCurrentPrinterName(const QString& name);

// Makes the first installed printer whose name equals `name` exactly (letter
// case included) the current printer. Returns false, changing nothing, when
// none matches.
bool selectPrinterByName(const QString& name, const QStringList& installedPrinters);

// The current printer's page orientation: 1 portrait (the start), 2 landscape.
int currentPrinterOrientation();
void setCurrentPrinterOrientation(int orientation);

} // namespace vexa
