#include "base/ui/Printers.h"
#include "base/core/CurrentPrinter.h"
#include <QPrinter>
#include <QPrinterInfo>

namespace vexa {

QString defaultPrinterName()
{
    return QPrinterInfo::defaultPrinterName();
}

void selectPrinterByName(const QString& name)
{
    selectPrinterByName(name, QPrinterInfo::availablePrinterNames());
}

void selectPrinterByName(const QString& name, QPrinter& printer)
{
    if (selectPrinterByName(name, QPrinterInfo::availablePrinterNames()))
        printer.setPrinterName(name);
}

void applyCurrentPrinter(QPrinter& printer)
{
    const QString current = currentPrinterName();
    if (!current.isEmpty())
        printer.setPrinterName(current);
}

} // namespace vexa
