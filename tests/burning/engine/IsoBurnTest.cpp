#include "CdFixtures.h"
#include "burning/engine/BurnFileList.h"
#include "burning/engine/IsoReadBack.h"
#include "burning/engine/LibburnEngine.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::test;

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every file under `folder` with its content, by relative path.
QMap<QString, QByteArray> filesUnder(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path), bytesOf(path));
    }
    return files;
}

// Runs a program; its standard output, with the exit status checked.
QString run(const QString& program, const QStringList& arguments, int timeoutMs = 120000)
{
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty()) {
        ADD_FAILURE() << program.toStdString() << " is missing (see scripts/setup.sh)";
        return {};
    }
    QProcess process;
    process.start(path, arguments);
    if (!process.waitForFinished(timeoutMs) || process.exitCode() != 0)
        ADD_FAILURE() << program.toStdString() << " failed: " << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Added to a copy of the page on the disc: once everything has loaded, gives
// the patient line as the browser reads it, lists each thumbnail as loaded or
// broken, then calls changeImage with each link's
// argument and lists the picture shown as loaded or broken.
const char* pageCheckScript = R"(<script>
window.addEventListener("load", function () {
  var lines = [];
  var links = Array.prototype.slice.call(document.querySelectorAll("a[href^='javascript:changeImage']"));
  var i = 0;
  lines.push((document.body.innerText.match(/Patient: .*?(?=Date de|\n|$)/) || ["no patient line"])[0]);
  function finish() {
    var pre = document.createElement("pre");
    pre.id = "pagecheck";
    pre.textContent = lines.join("\n");
    document.body.appendChild(pre);
  }
  function next() {
    if (i >= links.length) return finish();
    var link = links[i++];
    var thumb = link.querySelector("img");
    lines.push("thumbnail " + thumb.getAttribute("src") + " " + (thumb.naturalWidth > 0 ? "loaded" : "broken"));
    var name = /changeImage\('([^']*)'\)/.exec(link.getAttribute("href"))[1];
    changeImage(name);
    var shown = Array.prototype.filter.call(document.images, function (im) {
      return !im.closest("a") && im.getAttribute("src") === name;
    })[0];
    if (!shown) { lines.push("picture " + name + " not shown"); return next(); }
    var done = function () { lines.push("picture " + name + " " + (shown.naturalWidth > 0 ? "loaded" : "broken")); next(); };
    if (shown.complete) done(); else { shown.onload = done; shown.onerror = done; }
  }
  next();
});
</script>)";

QStringList checkPageInChromium(const QString& discFolder)
{
    QString page = QString::fromLatin1(bytesOf(discFolder + "/IHE_PDI/INDEX.HTM"));
    page.replace("</body>", QString::fromLatin1(pageCheckScript) + "</body>");
    const QString checkPath = discFolder + "/IHE_PDI/pagecheck.htm";
    QFile check(checkPath);
    check.open(QIODevice::WriteOnly);
    check.write(page.toLatin1());
    check.close();
    QTemporaryDir profile;
    const QString dom = run("chromium",
        {"--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--user-data-dir=" + profile.path(),
            "--virtual-time-budget=10000", "--dump-dom", QUrl::fromLocalFile(checkPath).toString()});
    const qsizetype start = dom.indexOf("<pre id=\"pagecheck\">");
    if (start < 0)
        return {"no result in the page"};
    const qsizetype end = dom.indexOf("</pre>", start);
    return dom.mid(start + 20, end - start - 20).split('\n');
}

// The files a page of the disc links to (links, pictures, the pictures its
// script shows, where it leads) that are missing from `discFolder`.
QStringList missingLinks(const QString& discFolder, const QString& page)
{
    const QString text = QString::fromLatin1(bytesOf(discFolder + "/" + page));
    const QString pageFolder = QFileInfo(discFolder + "/" + page).path();
    static const QRegularExpression link(
        R"re((?:href|src)="(?!javascript:)([^"]+)"|changeImage\('([^']+)'\)|url=([^"]+)")re");
    QStringList missing;
    int links = 0;
    for (auto it = link.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString target = m.captured(1) + m.captured(2) + m.captured(3);
        ++links;
        if (!QFile::exists(pageFolder + "/" + target))
            missing << page + " -> " + target;
    }
    if (links == 0)
        missing << page + " has no link";
    return missing;
}

class IsoBurnTest : public ::testing::Test {
protected:
    CdFolders cd_;
    QString iso_;
    BurnTree tree_;
    CdFolderTable folders_;
    LibburnEngine engine_;
    QStringList log_;

    void SetUp() override
    {
        const QStringList store = writeStoreImages(cd_.dir.filePath("store"), 3);
        DcmtkImageConverters converters;
        const CdPreparationOutcome outcome = prepareCd({{store[0]}, {store[1]}, {store[2]}},
            {"Cabinet de radiologie", "MÉNARD Élodie", "02/01/2024"}, cd_.folders, programCdSources(),
            converters);
        ASSERT_TRUE(outcome.prepared);
        tree_ = treeToBurn(cd_.folders.cdFolder, listFilesToBurn(cd_.folders.cdFolder), folders_);
        iso_ = cd_.dir.filePath("patient.iso");
        QObject::connect(&engine_, &BurnEngine::logLine, [this](const QString& line) { log_ << line; });
    }

    int imageWriter()
    {
        const QList<BurnWriter> writers = engine_.writers();
        EXPECT_FALSE(writers.isEmpty());
        EXPECT_EQ(writers.last().deviceName, "Fichier image ISO");
        EXPECT_TRUE(writers.last().imageFile);
        return static_cast<int>(writers.size()) - 1;
    }

    int burn()
    {
        const int writer = imageWriter();
        const QList<int> speeds = engine_.writeSpeeds(writer);
        EXPECT_FALSE(speeds.isEmpty());
        QSignalSpy done(&engine_, &BurnEngine::burnDone);
        BurnJob job;
        job.writer = writer;
        job.speed = speeds.value(speeds.size() - 1);
        job.tree = tree_;
        job.imageFile = iso_;
        engine_.startBurn(job);
        if (!done.wait(60000))
            return -1;
        return done.first().first().toInt();
    }
};

} // namespace

TEST_F(IsoBurnTest, theIsoReadBackHoldsEveryStagedFileAndItsPageWorks)
{
    QSignalSpy progress(&engine_, &BurnEngine::progressChanged);
    ASSERT_EQ(burn(), burn_status::Succeeded) << log_.join("\n").toStdString();
    EXPECT_EQ(progress.last().first().toInt(), 100);
    EXPECT_FALSE(QFile::exists(iso_ + ".part"));

    const QString extracted = cd_.dir.filePath("extracted");
    run("xorriso", {"-osirrox", "on", "-indev", iso_, "-extract", "/", extracted});
    const QMap<QString, QByteArray> staged = filesUnder(cd_.folders.cdFolder);
    EXPECT_EQ(staged.size(), 15);
    EXPECT_EQ(filesUnder(extracted), staged);
    // A patient CD as IHE lays it out: the DICOMDIR, README.TXT and INDEX.HTM
    // at the root, the web content under IHE_PDI.
    for (const char* name : {"DICOMDIR", "README.TXT", "INDEX.HTM", "IHE_PDI/INDEX.HTM"})
        EXPECT_TRUE(staged.contains(name)) << name;

    // A reader of plain ISO 9660 names (no Joliet, no Rock Ridge) finds the
    // same files, and every link of both pages resolves on either reading.
    const QString plain = cd_.dir.filePath("plain");
    run("xorriso", {"-read_fs", "ecma119", "-osirrox", "on", "-indev", iso_, "-extract", "/", plain});
    EXPECT_EQ(filesUnder(plain).keys(), staged.keys());
    for (const QString& disc : {extracted, plain}) {
        for (const char* page : {"INDEX.HTM", "IHE_PDI/INDEX.HTM"})
            EXPECT_EQ(missingLinks(disc, page), QStringList()) << disc.toStdString();
    }

    const QStringList shown(
        {"Patient: MÉNARD Élodie", "thumbnail MINI/00000001.JPG loaded", "picture JPG/00000001.JPG loaded",
            "thumbnail MINI/00000002.JPG loaded", "picture JPG/00000002.JPG loaded",
            "thumbnail MINI/00000003.JPG loaded", "picture JPG/00000003.JPG loaded"});
    EXPECT_EQ(checkPageInChromium(extracted), shown);
    EXPECT_EQ(checkPageInChromium(plain), shown);
}

TEST_F(IsoBurnTest, aDamagedImageFailsTheReadBackAndIsNotKept)
{
    const QByteArray target = bytesOf(cd_.cd("DICOM/00000002"));
    engine_.setAfterWriteHook([&](const QString& image) {
        QFile file(image);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        const qsizetype at = file.readAll().indexOf(target);
        ASSERT_GE(at, 0);
        file.seek(at + target.size() - 1);
        file.write(QByteArray(1, static_cast<char>(target.back() ^ 0x5a)));
    });
    EXPECT_EQ(burn(), burn_status::ReadBackFailed);
    EXPECT_TRUE(log_.contains("Fichier différent sur le disque gravé : DICOM\\00000002"))
        << log_.join("\n").toStdString();
    EXPECT_FALSE(QFile::exists(iso_));
    EXPECT_FALSE(QFile::exists(iso_ + ".part"));
    EXPECT_EQ(engine_.diagnostics().value(1),
        "Dernière erreur : Fichier différent sur le disque gravé : DICOM\\00000002");
}

TEST_F(IsoBurnTest, anAbortedBurnEndsAsAbortedAndLeavesNoImage)
{
    QSignalSpy aborted(&engine_, &BurnEngine::aborted);
    QObject::connect(&engine_, &BurnEngine::phaseChanged, [this] { engine_.abort(); });
    EXPECT_EQ(burn(), burn_status::Aborted);
    EXPECT_EQ(aborted.size(), 1);
    EXPECT_FALSE(QFile::exists(iso_));
    EXPECT_FALSE(QFile::exists(iso_ + ".part"));
}

TEST_F(IsoBurnTest, anUnreadableImageIsNotASuccess)
{
    QFile garbage(iso_);
    garbage.open(QIODevice::WriteOnly);
    garbage.write(QByteArray(64 * 2048, 'x'));
    garbage.close();
    const ReadBackResult result = compareIsoFileWithTree(iso_, tree_);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.problem, "Le disque gravé ne peut pas être relu.");
}

TEST_F(IsoBurnTest, anImageFileWriterErasesNothing)
{
    QString error;
    EXPECT_FALSE(engine_.startErase(imageWriter(), error));
    EXPECT_EQ(error, "Ce graveur n'efface pas de disque : il écrit un fichier image.");
}
