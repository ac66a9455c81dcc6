#include "base/core/CurrentPrinter.h"

namespace vexa {
namespace {
QString currentPrinter;
int currentOrientation = 1;
} // namespace

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

int CurrentPrinterOrientation()
{
    return currentOrientation;
}

void SetCurrentPrinterOrientation(int orientation)
{
    currentOrientation = orientation == 2 ? 2 : 1;
}

} // namespace vexa
