// Writes screenshots of the print sheet window and the interpretation window
// on a demo PACS exam: printing_screenshots <print sheet.png> <interpretation.png>.
#include "DemoPacs.h"
#include "ScriptedDialogService.h"
#include "base/core/AppValues.h"
#include "base/core/Dates.h"
#include "base/core/DialogService.h"
#include "base/core/Settings.h"
#include "dicom/DicomLoader.h"
#include "dicom/JpegPictures.h"
#include "pacsdb/ConquestColumns.h"
#include "pacsdb/ConquestQueries.h"
#include "pacsdb/ExamNaming.h"
#include "pacsdb/ImageFiles.h"
#include "pacsdb/ImageRows.h"
#include "pacsdb/MainRecordSets.h"
#include "pacsdb/PacsUpgrade.h"
#include "pacsdb/QueryCatalogue.h"
#include "pacsdb/RecordSet.h"
#include "printing/interpretation/InterpretationWindow.h"
#include "printing/sheet/PrintSheetWindow.h"
#include "viewer/window/ViewerTexts.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

using namespace vexa;

int main(int argc, char** argv)
{
    qputenv(
        "QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "printing_screenshots <print sheet.png> <interpretation.png>\n");
        return 2;
    }
    ScriptedDialogService dialogs;
    QTemporaryDir folder;
    demo::DemoPacsOptions options;
    options.database = QDir(folder.path()).filePath(QStringLiteral("conquest.db3"));
    options.imageStore = QDir(folder.path()).filePath(QStringLiteral("images"));
    options.patients = 4;
    options.imagesPerSeries = 6;
    demo::DemoPacs pacs(options);
    QString error = pacs.open(true);
    if (error.isEmpty())
        error = pacs.generate();
    if (error.isEmpty())
        error = openAndUpgrade(options.database);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    setSettingsFile(QDir(folder.path()).filePath(QStringLiteral("settings.ini")));
    appValues().conquestPath = options.database;
    appValues().conquestImagePath = options.imageStore;

    // The radiograph series with the most images, with its preview pictures.
    MainRecordSets sets;
    sets.setDatabasePath(options.database);
    // Named as the program names them at start-up: the windows show the patient.
    if (const QString naming = nameNewRows(sets, options.database); !naming.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(naming));
        return 1;
    }
    RecordSet& series = sets.workSet;
    series.setRecordSource(QStringLiteral("SELECT SeriesInst FROM DICOMSeries WHERE Modality = 'CR'"));
    QString uid;
    int most = 0;
    if (series.requery()) {
        for (series.moveFirst(); !series.eof(); series.moveNext()) {
            RecordSet images;
            images.setDatabasePath(options.database);
            images.setRecordSource(sql::imagesOfSeries(series.fieldText(col::SeriesInst)));
            if (images.requery() && images.count() > most) {
                most = images.count();
                uid = series.fieldText(col::SeriesInst);
            }
        }
    }
    RecordSet& exam = sets.examImages;
    exam.setRecordSource(sql::imagesOfSeries(uid));
    if (uid.isEmpty() || !exam.requery()) {
        std::fprintf(stderr, "no radiograph series: %s\n", qPrintable(series.lastError()));
        return 1;
    }
    for (exam.moveFirst(); !exam.eof(); exam.moveNext()) {
        const QString objectFile = exam.fieldText(col::ObjectFile);
        const DicomLoadResult image = loadDicomImage(QDir(options.imageStore).filePath(objectFile));
        if (image.ok())
            writePreviewPicture(
                *image.image, previewPicturePath(storedImagePath(options.imageStore, objectFile)));
    }
    exam.moveFirst();
    const Exam shown{
        .seriesUid = uid, .patientName = exam.fieldText(col::PatientName), .examDate = examDayOfImage(exam)};

    {
        PrintSheetWindow window(sets, shown,
            viewerPrintCaption(QStringLiteral("Cabinet de radiologie"), shown.patientName, shown.examDate));
        window.resize(1280, 860);
        window.show();
        QCoreApplication::processEvents();
        window.chooseLayout(2);
        for (int i = 0; i < 3; ++i)
            window.thumbnailDoubleClicked(i);
        window.thumbnailClicked(2);
        QCoreApplication::processEvents();
        window.grab().save(QString::fromLocal8Bit(argv[1]));
    }
    {
        InterpretationWindow window(shown, exam.databasePath(), options.imageStore);
        window.resize(1280, 800);
        window.show();
        if (!QTest::qWaitFor([&] { return window.built() && !window.loading(); }, 20000))
            return 1;
        window.chooseTool(1);
        QCoreApplication::processEvents();
        window.grab().save(QString::fromLocal8Bit(argv[2]));
    }
    setSettingsFile(QString());
    std::printf("%d images of series %s\n", most, qPrintable(uid));
    return 0;
}
