// Printing a full 8-slot sheet of 2048 x 2500 radiographs from the print
// sheet window: time from the print button to the job handed to the printer,
// beside the time the eight slot pictures take to render alone, and the size
// of the PDF the cups-pdf queue writes. Run with CUPS_SERVER pointing at the
// test scheduler (tests/cups_server.sh) and VEXA_PDF_OUT at its output folder;
// without a printer the sheet goes to a PDF file of the program's own.
#include "ScriptedDialogService.h"
#include "TestSeries.h"
#include "base/core/AppValues.h"
#include "base/core/CurrentPrinter.h"
#include "base/core/DialogService.h"
#include "base/core/Settings.h"
#include "pacsdb/MainRecordSets.h"
#include "printing/sheet/PrintSheetWindow.h"
#include "viewer/view/DicomView.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QPrinterInfo>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

using namespace vexa;

int main(int argc, char** argv)
{
    qputenv(
        "QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    ScriptedDialogService dialogs;
    QTemporaryDir folder;
    const TestSeries series = makeTestSeries(folder.path(), 8, QSize(2048, 2500));
    if (!series.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(series.error));
        return 1;
    }
    // The thumbnails the window lists.
    for (const QString& file : series.objectFiles) {
        QImage thumbnail(64, 80, QImage::Format_Grayscale8);
        thumbnail.fill(Qt::gray);
        thumbnail.save(series.imageRoot + QLatin1Char('/') + file + QStringLiteral(".jpeg"), "JPEG");
    }
    setSettingsFile(QDir(folder.path()).filePath(QStringLiteral("settings.ini")));
    saveSetting(QStringLiteral("Print"), QStringLiteral("ConfigOrientation"), QStringLiteral("1"));
    saveSetting(QStringLiteral("Print"), QStringLiteral("ConfigNumber"), QStringLiteral("4"));
    const bool queue = QPrinterInfo::availablePrinterNames().contains(QStringLiteral("VexaPDF"));
    appValues().conquestPath = series.databasePath;
    appValues().conquestImagePath = series.imageRoot;
    appValues().imagePrinter = QStringLiteral("VexaPDF");

    MainRecordSets sets;
    sets.setDatabasePath(series.databasePath);
    PrintSheetWindow window(sets, Exam{.seriesUid = series.seriesUid},
        QStringLiteral("Cabinet de radiologie|Patient: DUPONT JEAN|"));
    window.pdfFolder = QDir(folder.path()).filePath(QStringLiteral("pdf"));
    const QString token = QStringLiteral("vexabench%1").arg(QCoreApplication::applicationPid());
    window.documentName = token;
    window.resize(1280, 900);
    window.show();
    QCoreApplication::processEvents();
    for (int i = 0; i < 8; ++i) {
        window.thumbnailScrollBar()->setValue(i / window.thumbnailsPerPage());
        window.thumbnailDoubleClicked(i % window.thumbnailsPerPage());
    }

    QElapsedTimer clock;
    clock.start();
    const QSize cell(1600, 1900); // about a cell of a 2 x 4 page at 600 dpi
    for (int slot = 1; slot <= 8; ++slot)
        window.page()->slotView(slot)->renderVisible(cell);
    const double renderOnly = clock.nsecsElapsed() / 1e6;

    clock.start();
    window.printPage();
    const double toPrinter = clock.nsecsElapsed() / 1e6;
    const SheetPrintOutcome& outcome = window.lastPrint();
    std::printf("8-slot sheet of 2048 x 2500 radiographs, %s at %d dpi, %zu pictures drawn\n",
        outcome.destination.isPdf() ? "PDF file (no printer)" : qPrintable(outcome.destination.printerName),
        outcome.resolution, outcome.drawn.size());
    std::printf("print button to job handed over: %.0f ms (the 8 pictures alone render in %.0f ms)\n",
        toPrinter, renderOnly);
    QString pdf = outcome.destination.pdfPath;
    if (queue && !outcome.destination.isPdf()) {
        const QDir out(qEnvironmentVariable("VEXA_PDF_OUT"));
        const QDeadlineTimer deadline(60000);
        while (pdf.isEmpty() && !deadline.hasExpired()) {
            QThread::msleep(250);
            const QFileInfoList found
                = out.entryInfoList({QStringLiteral("*%1*.pdf").arg(token)}, QDir::Files);
            if (!found.isEmpty() && found[0].size() > 0) {
                const qint64 size = found[0].size();
                QThread::msleep(500);
                if (QFileInfo(found[0].absoluteFilePath()).size() == size)
                    pdf = found[0].absoluteFilePath();
            }
        }
    }
    std::printf("PDF written: %.1f MB (%s)\n", QFileInfo(pdf).size() / 1048576.0, qPrintable(pdf));
    setSettingsFile(QString());
    return 0;
}
