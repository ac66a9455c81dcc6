#include "PacsFixture.h"

#include "base/core/AppValues.h"
#include "base/core/Settings.h"
#include "dicom/DicomWriter.h"
#include "pacsdb/ConquestSchema.h"
#include "pacsdb/PacsConnection.h"

#include <QDir>
#include <QImage>
#include <QSqlError>
#include <QSqlQuery>
#include <gtest/gtest.h>

namespace vexa::test {
namespace {

int fixtureCount = 0;

// A small image file as Conquest stores it (bare dataset, ".v2").
void writeImageFile(const QString& path, const QString& seriesUid, int n, const QDate& date)
{
    NewDicomImage image;
    image.patientName = QStringLiteral("TEST^IMAGE");
    image.seriesInstanceUid = seriesUid;
    image.sopInstanceUid = QStringLiteral("%1.%2").arg(seriesUid).arg(n);
    image.sopClassUid = sop_class::ComputedRadiography;
    image.studyDate = date.toString(QStringLiteral("yyyyMMdd"));
    image.modality = QStringLiteral("CR");
    image.instanceNumber = n + 1;
    image.columns = 32;
    image.rows = 32;
    image.pixelData = QByteArray(32 * 32 * 2, static_cast<char>(n * 8));
    const DicomResult written = writeDicomImage(image, path, DicomFileLayout::BareImplicitLittle);
    EXPECT_TRUE(written.ok) << written.error.toStdString();
}

} // namespace

PacsFixture::PacsFixture()
    : connection_(QStringLiteral("fixture%1").arg(++fixtureCount))
{
    QDir(dir_.path()).mkpath(QStringLiteral("data/dbase"));
    QString error;
    db_ = openConquestDatabase(databasePath(), connection_, &error, MissingFile::Create);
    EXPECT_TRUE(db_.isOpen()) << error.toStdString();
    EXPECT_EQ(createConquestTables(db_), QString());
    setSettingsFile(settingsPath());
}

PacsFixture::~PacsFixture()
{
    closePacsConnection(databasePath());
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
    setSettingsFile({});
}

QString PacsFixture::databasePath() const
{
    return dir_.filePath(QStringLiteral("data/dbase/conquest.db3"));
}

QString PacsFixture::imageRoot() const
{
    return dir_.filePath(QStringLiteral("data")) + u'/';
}

QString PacsFixture::settingsPath() const
{
    return dir_.filePath(QStringLiteral("settings.ini"));
}

void PacsFixture::exec(const QString& sql)
{
    QSqlQuery query(db_);
    EXPECT_TRUE(query.exec(sql)) << query.lastError().text().toStdString() << " in " << sql.toStdString();
}

void PacsFixture::addPatient(const QString& id, const QString& dicomName)
{
    exec(QStringLiteral("INSERT INTO DICOMPatients (PatientID, PatientNam) VALUES ('%1', '%2')")
             .arg(id, dicomName));
}

void PacsFixture::addSeries(
    const QString& uid, const QString& patientId, const QDate& date, const QString& study)
{
    exec(QStringLiteral("INSERT INTO DICOMSeries (SeriesInst, SeriesPat, SeriesDate, StudyInsta) "
                        "VALUES ('%1', '%2', '%3', '%4')")
             .arg(uid, patientId, date.toString(QStringLiteral("yyyyMMdd")), study));
}

QStringList PacsFixture::addImages(
    const QString& seriesUid, const QString& patientId, const QDate& date, int count)
{
    QStringList files;
    QDir(imageRoot()).mkpath(patientId);
    for (int n = 0; n < count; ++n) {
        const QString objectFile
            = QStringLiteral("%1/%2_%3.v2").arg(patientId, seriesUid).arg(n, 4, 10, QChar(u'0'));
        exec(QStringLiteral(
            "INSERT INTO DICOMImages (SOPInstanc, SeriesInst, ImagePat, ImageDate, ObjectFile) "
            "VALUES ('%1.%2', '%1', '%3', '%4', '%5')")
                 .arg(seriesUid)
                 .arg(n)
                 .arg(patientId, date.toString(QStringLiteral("yyyyMMdd")), objectFile));
        writeImageFile(imageRoot() + objectFile, seriesUid, n, date);
        QImage picture(32, 32, QImage::Format_Grayscale8);
        picture.fill(n * 10);
        QString preview = imageRoot() + objectFile;
        preview.chop(3);
        EXPECT_TRUE(picture.save(preview + QStringLiteral(".jpeg"), "JPEG"));
        files << objectFile;
    }
    return files;
}

void PacsFixture::addTwoExams(const QDate& day)
{
    addPatient(QStringLiteral("PA"), QStringLiteral("ALPHA^ANNE"));
    addSeries(QStringLiteral("SA"), QStringLiteral("PA"), day);
    addImages(QStringLiteral("SA"), QStringLiteral("PA"), day, 3);
    addPatient(QStringLiteral("PB"), QStringLiteral("BRAVO^BRUNO"));
    addSeries(QStringLiteral("SB"), QStringLiteral("PB"), day);
    addImages(QStringLiteral("SB"), QStringLiteral("PB"), day, 2);
}

void PacsFixture::configure()
{
    saveSetting(QStringLiteral("Conquest"), QStringLiteral("ConquestPath"), databasePath());
    saveSetting(QStringLiteral("Conquest"), QStringLiteral("ConquestImagePath"), imageRoot());
}

StartedWindow::StartedWindow(const QString& lockFolder)
    : instance(lockFolder)
{
}

StartupOutcome StartedWindow::start()
{
    StartupHooks hooks;
    hooks.showOptions = [this] {
        ++optionsShown;
        connectionsWhenOptionsShown = QSqlDatabase::connectionNames();
        if (onOptions)
            onOptions();
    };
    window.showOptionsDialog = hooks.showOptions;
    return runStartup(window, instance, hooks);
}

} // namespace vexa::test
