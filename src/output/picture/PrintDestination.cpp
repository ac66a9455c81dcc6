#include "output/picture/PrintDestination.h"

#include "base/core/CurrentPrinter.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace vexa {

QString InstalledPrinterFor(const QString& wanted, const QStringList& installed, const QString& systemDefault)
{
    if (installed.contains(wanted, Qt::CaseSensitive))
        return wanted;
    if (!systemDefault.isEmpty() && installed.contains(systemDefault, Qt::CaseSensitive))
        return systemDefault;
    return QString();
}

PrintDestination ChoosePrintDestination(const QString& wanted, const QStringList& installed,
    const QString& systemDefault, const QString& pdfFolder, const QString& pdfBaseName)
{
    SelectPrinterByName(wanted, installed);
    const QString printer = InstalledPrinterFor(wanted, installed, systemDefault);
    if (printer.isEmpty())
        return {QString(), UniquePdfPath(pdfFolder, pdfBaseName)};
    return {printer, QString()};
}

PrintDestination ChoosePrintDestination(
    const QString& wanted, const QStringList& installed, const QString& pdfFolder, const QString& pdfBaseName)
{
    return ChoosePrintDestination(wanted, installed, SystemDefaultPrinter(), pdfFolder, pdfBaseName);
}

QString SystemDefaultPrinter()
{
    return QPrinterInfo::defaultPrinterName();
}

QString DefaultPdfFolder()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    return QDir(documents).filePath(QStringLiteral("VexaDICOM"));
}

QString UniquePdfPath(const QString& folder, const QString& baseName)
{
    const QDir dir(folder);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = dir.filePath(QStringLiteral("%1 %2.pdf").arg(baseName, stamp));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(QStringLiteral("%1 %2 (%3).pdf").arg(baseName, stamp).arg(n));
    return path;
}

} // namespace vexa
