#include "CurrentPrinter.h"

namespace vexa {
namespace {
QString currentPrinter;
}

QString CurrentPrinterName()
{
    return currentPrinter;
}

void SetCurrentPrinterName(const QString& name)
{
    currentPrinter = name;
}

bool SelectPrinterByName(const QString& name, const QStringList& installedPrinters)
{
    if (!installedPrinters.contains(name, Qt::CaseSensitive))
        return false;
    currentPrinter = name;
    return true;
}

} // namespace vexa
