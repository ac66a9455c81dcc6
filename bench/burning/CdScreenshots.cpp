// Writes docs/burn-window.png (the burning window after a burn of a prepared
// CD to an ISO file) and docs/cd-page.png (the CD's page in headless
// Chromium, second image chosen). Usage: cd_screenshots <docs folder>.
#include "CtSeries.h"
#include "ScriptedDialogService.h"
#include "base/core/DialogService.h"
#include "base/core/Settings.h"
#include "burning/cd/CdPreparation.h"
#include "burning/engine/LibburnEngine.h"
#include "burning/export/ImageConverters.h"
#include "burning/window/BurnWindow.h"
#include "dicom/DicomWriter.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFont>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <cstdio>

using namespace vexa;

namespace {

QList<CdImage> writeExam(const QString& folder)
{
    QList<CdImage> images;
    for (const QString& path : bench::writeCtSeries(folder, newDicomUid(), 8, 6))
        images.push_back({path});
    return images;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 9));
    const QString docs = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs");
    QTemporaryDir dir;
    setSettingsFile(dir.filePath("settings.ini"));
    saveSetting("Drive", "Device", LibburnEngine::ImageFileWriterName);

    const CdWorkFolders folders{dir.filePath("ToBurn.tmp"), dir.filePath("DCM")};
    DcmtkImageConverters converters;
    prepareCd(writeExam(dir.filePath("store")),
        {"Cabinet de radiologie du Parc", "DUPONT^JEAN", "02/01/2024"}, folders, programCdSources(),
        converters);

    // The page, with the second image chosen as a patient would.
    QString page = QString::fromLatin1([&] {
        QFile file(folders.cdFolder + "/IHE_PDI/INDEX.HTM");
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }());
    page.replace("</body>", "<script>changeImage('JPG/00000002.JPG');</script></body>");
    const QString shot = folders.cdFolder + "/IHE_PDI/shot.htm";
    QFile shotFile(shot);
    shotFile.open(QIODevice::WriteOnly);
    shotFile.write(page.toLatin1());
    shotFile.close();
    QTemporaryDir profile;
    QProcess::execute("chromium",
        {"--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
            "--user-data-dir=" + profile.path(), "--window-size=1100,720", "--virtual-time-budget=5000",
            "--screenshot=" + docs + "/cd-page.png", QUrl::fromLocalFile(shot).toString()});
    QFile::remove(shot);

    // The burning window after a burn to an ISO file; another copy is asked for so it stays open.
    ScriptedDialogService dialogs;
    dialogs.answerFile(dir.filePath("patient.iso"));
    dialogs.answerMessage(MsgResult::Yes);
    LibburnEngine engine;
    BurnWindow window(engine, folders.cdFolder);
    window.show();
    QEventLoop loop;
    QObject::connect(
        &engine, &BurnEngine::burnDone, &loop, [&] { QTimer::singleShot(100, &loop, &QEventLoop::quit); });
    // "Graver..." answers once the writers are found and the folder listed.
    QTimer ready;
    QObject::connect(&ready, &QTimer::timeout, &loop, [&] {
        if (window.preparing())
            return;
        ready.stop();
        window.findChild<QPushButton*>("Burn")->click();
    });
    ready.start(20);
    loop.exec();
    window.grab().save(docs + "/burn-window.png");
    std::printf("%s\n", qPrintable(window.messageLog()));
    return 0;
}
