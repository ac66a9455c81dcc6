#include "output/picture/PrintDestination.h"

#include "base/core/CurrentPrinter.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace vexa {

QString installedPrinterFor(const QString& wanted, const QStringList& installed, const QString& systemDefault)
{
    if (installed.contains(wanted, Qt::CaseSensitive))
        return wanted;
    if (!systemDefault.isEmpty() && installed.contains(systemDefault, Qt::CaseSensitive))
        return systemDefault;
    return QString();
}

PrintDestination choosePrintDestination(const QString& wanted, const QStringList& installed,
    const QString& systemDefault, const QString& pdfFolder, const QString& pdfBaseName)
{
    selectPrinterByName(wanted, installed);
    const QString printer = installedPrinterFor(wanted, installed, systemDefault);
    if (printer.isEmpty())
        return {QString(), uniquePdfPath(pdfFolder, pdfBaseName)};
    return {printer, QString()};
}

PrintDestination choosePrintDestination(
    const QString& wanted, const QStringList& installed, const QString& pdfFolder, const QString& pdfBaseName)
{
    return choosePrintDestination(wanted, installed, systemDefaultPrinter(), pdfFolder, pdfBaseName);
}

QString systemDefaultPrinter()
{
    return QPrinterInfo::defaultPrinterName();
}

QString defaultPdfFolder()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    return QDir(documents).filePath(QStringLiteral("VexaDICOM"));
}

QString uniquePdfPath(const QString& folder, const QString& baseName)
{
    const QDir dir(folder);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = dir.filePath(QStringLiteral("%1 %2.pdf").arg(baseName, stamp));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(QStringLiteral("%1 %2 (%3).pdf").arg(baseName, stamp).arg(n));
    return path;
}

} // namespace vexa
