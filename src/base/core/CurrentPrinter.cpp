#include "base/core/CurrentPrinter.h"

namespace vexa {
namespace {
QString currentPrinter;
int currentOrientation = 1;
} // namespace

QString currentPrinterName()
{
    return currentPrinter;
}

void setCurrentPrinterName(const QString& name)
{
    currentPrinter = name;
}

bool selectPrinterByName(const QString& name, const QStringList& installedPrinters)
{
    if (!installedPrinters.contains(name, Qt::CaseSensitive))
        return false;
    currentPrinter = name;
    return true;
}

int currentPrinterOrientation()
{
    return currentOrientation;
}

void setCurrentPrinterOrientation(int orientation)
{
    currentOrientation = orientation == 2 ? 2 : 1;
}

} // namespace vexa
