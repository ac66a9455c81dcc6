#include "base/ui/Printers.h"
#include "base/core/CurrentPrinter.h"
#include <QPrinter>
#include <QPrinterInfo>

namespace vexa {

QString DefaultPrinterName()
{
    return QPrinterInfo::defaultPrinterName();
}

void SelectPrinterByName(const QString& name)
{
    SelectPrinterByName(name, QPrinterInfo::availablePrinterNames());
}

void SelectPrinterByName(const QString& name, QPrinter& printer)
{
    if (SelectPrinterByName(name, QPrinterInfo::availablePrinterNames()))
        printer.setPrinterName(name);
}

void ApplyCurrentPrinter(QPrinter& printer)
{
    const QString current = CurrentPrinterName();
    if (!current.isEmpty())
        printer.setPrinterName(current);
}

} // namespace vexa
