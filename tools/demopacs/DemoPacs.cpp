#include "DemoPacs.h"

#include "SyntheticPixels.h"
#include "pacsdb/ConquestSchema.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTime>
#include <QVariant>

namespace vexa::demo {

namespace {

const char* const patientNames[] = {
    "DUPONT^JEAN",
    "LEFÈVRE^ÉLODIE",
    "O'BRIEN^SEAN",
    "MARTIN^CHLOÉ",
    "BERNARD^FRANÇOIS",
    "GIRARD^HÉLÈNE",
    "ROUSSEAU^ANAÏS",
    "FAURE^JÉRÔME",
    "MOREAU^NOËL",
    "LAMBERT^CÉLINE",
    "GAUTHIER^BENOÎT",
    "PETIT^AMÉLIE",
};
const char* const physicians[] = {"DUBOIS^PIERRE", "LECLERC^MARIE", "N'DIAYE^ISMAËL"};

struct KindTraits {
    QString modality, sopClass, description, bodyPart;
};

KindTraits traitsOf(SeriesKind kind)
{
    switch (kind) {
    case SeriesKind::ComputedRadiograph:
        return {"CR", sop_class::ComputedRadiography, "THORAX FACE", "CHEST"};
    case SeriesKind::Ct:
        return {"CT", sop_class::CtImage, "TDM THORACIQUE", "CHEST"};
    case SeriesKind::Ultrasound:
        return {"US", sop_class::UltrasoundImage, "ECHOGRAPHIE ABDOMINALE", "ABDOMEN"};
    case SeriesKind::MultiFrame:
        return {"XA", sop_class::XRayAngiographic, "ANGIOGRAPHIE", "HEART"};
    }
    return {};
}

QString sqlError(const QSqlQuery& query)
{
    return query.lastError().text();
}

QString run(QSqlQuery& query)
{
    return query.exec() ? QString() : sqlError(query);
}

// The placeholder of a text column that receives bytes as they are, as
// Conquest stores what a modality sent, whatever their encoding.
QString storedBytes(const QSqlDatabase& db)
{
    return backendOf(db) == SqlBackend::Postgres ? QStringLiteral("convert_from(?, getdatabaseencoding())")
                                                 : QStringLiteral("CAST(? AS TEXT)");
}

// A name's bytes as the patient's modality sent them. A UTF8 PostgreSQL
// database refuses Latin-1 bytes (as it refuses Conquest's insert): there
// the demo stores UTF-8.
QByteArray nameBytes(const QSqlDatabase& db, const DemoPatient& p, const QString& name)
{
    const bool latin1
        = !p.utf8 && !(backendOf(db) == SqlBackend::Postgres && serverEncoding(db) == QStringLiteral("UTF8"));
    return latin1 ? name.toLatin1() : name.toUtf8();
}

} // namespace

DemoPacs::DemoPacs(DemoPacsOptions opts)
    : options_(std::move(opts))
    , connection_(QStringLiteral("demopacs-%1").arg(reinterpret_cast<quintptr>(this)))
{
}

DemoPacs::~DemoPacs()
{
    db_.close();
    db_ = {};
    QSqlDatabase::removeDatabase(connection_);
}

DemoPatient DemoPacs::patient(int index)
{
    DemoPatient p;
    p.id = QStringLiteral("PAT%1").arg(index + 1, 3, 10, QChar('0'));
    p.name = QString::fromUtf8(patientNames[index % 12]);
    if (index >= 12)
        p.name += QString::number(index / 12 + 1);
    p.birthDate = QDate(1940 + (index * 7) % 60, 1 + index % 12, 1 + (index * 3) % 28).toString("yyyyMMdd");
    p.sex = index % 2 ? QStringLiteral("F") : QStringLiteral("M");
    p.withMetaHeader = index % 3 == 0;
    p.utf8 = index % 5 == 4;
    return p;
}

QString DemoPacs::open(bool fresh)
{
    if (fresh && !isPostgresUrl(options_.database))
        QFile::remove(options_.database);
    if (!isPostgresUrl(options_.database))
        QDir().mkpath(QFileInfo(options_.database).absolutePath());
    QString error;
    db_ = openConquestDatabase(options_.database, connection_, &error, MissingFile::Create);
    if (!db_.isOpen())
        return error;
    return fresh ? createConquestTables(db_) : QString();
}

QString DemoPacs::generate()
{
    for (int i = 0; i < options_.patients; ++i) {
        const DemoPatient p = patient(i);
        const QDate date = options_.today.addDays(-(i % 5));
        const SeriesKind kinds[] = {
            SeriesKind::ComputedRadiograph, SeriesKind::Ct, SeriesKind::Ultrasound, SeriesKind::MultiFrame};
        if (QString error = addSeries(p, kinds[i % 4], date); !error.isEmpty())
            return error;
        if (i % 2 == 1) {
            if (QString error = addSeries(p, SeriesKind::ComputedRadiograph, date); !error.isEmpty())
                return error;
        }
    }
    return {};
}

QString DemoPacs::addFeedSeries()
{
    const int index = feedCounter_++ % std::max(1, options_.patients);
    return addSeries(
        patient(index), index % 2 ? SeriesKind::ComputedRadiograph : SeriesKind::Ct, options_.today);
}

QString DemoPacs::addSeries(const DemoPatient& p, SeriesKind kind, QDate date)
{
    const KindTraits traits = traitsOf(kind);
    NewDicomImage image;
    image.utf8 = p.utf8;
    image.patientName = p.name;
    image.patientId = p.id;
    image.patientBirthDate = p.birthDate;
    image.patientSex = p.sex;
    // One study per patient and day, as a visit.
    image.studyInstanceUid = QStringLiteral("1.2.826.0.1.3680043.10.999.%1.%2")
                                 .arg(p.id.mid(3).toInt())
                                 .arg(date.toString("yyyyMMdd"));
    image.seriesInstanceUid = newDicomUid();
    frameOfReferenceUid_ = newDicomUid();
    image.sopClassUid = traits.sopClass;
    image.studyDate = date.toString("yyyyMMdd");
    image.studyTime = QTime(8 + seriesCount_ % 10, (seriesCount_ * 7) % 60).toString("hhmmss");
    image.studyId = QString::number(1000 + seriesCount_);
    image.accessionNumber = QStringLiteral("ACC%1").arg(20000 + seriesCount_);
    image.referringPhysician = QString::fromUtf8(physicians[seriesCount_ % 3]);
    image.studyDescription = traits.description;
    image.seriesDescription = traits.description;
    image.modality = traits.modality;
    image.bodyPart = traits.bodyPart;
    image.stationName = QStringLiteral("SALLE1");
    image.seriesNumber = 1 + seriesCount_ % 9;
    const int images = kind == SeriesKind::Ct                              ? options_.imagesPerSeries * 3
        : kind == SeriesKind::Ultrasound || kind == SeriesKind::MultiFrame ? 1
                                                                           : options_.imagesPerSeries;
    if (QString error = insertPatientAndStudy(p, image); !error.isEmpty())
        return error;
    if (QString error = insertSeries(image); !error.isEmpty())
        return error;
    for (int i = 0; i < images; ++i) {
        if (QString error = writeImage(image, p, kind, i); !error.isEmpty())
            return error;
    }
    ++seriesCount_;
    return {};
}

QString DemoPacs::writeImage(NewDicomImage& image, const DemoPatient& p, SeriesKind kind, int index)
{
    const std::uint32_t seed = static_cast<std::uint32_t>(seriesCount_ * 131 + index);
    image.sopInstanceUid = newDicomUid();
    image.instanceNumber = index + 1;
    image.frames = 1;
    image.samplesPerPixel = 1;
    image.bitsAllocated = 16;
    image.bitsStored = 12;
    image.photometric = QStringLiteral("MONOCHROME2");
    image.windowCenter.reset();
    image.windowWidth.reset();
    image.rescaleIntercept.reset();
    image.rescaleSlope.reset();
    image.pixelSpacing.reset();
    image.imagerPixelSpacing.reset();
    // Every attribute the image's IOD requires, so the images (and the CDs
    // made from them) pass a DICOM validator.
    image.moreElements = {QStringLiteral("(0008,0070)=VEXADICOM")};
    const bool small = options_.small;
    switch (kind) {
    case SeriesKind::ComputedRadiograph:
        image.columns = small ? 256 : 2048;
        image.rows = small ? 312 : 2500;
        image.pixelData = chestRadiograph(image.columns, image.rows, seed);
        image.imagerPixelSpacing = std::pair{small ? 1.2 : 0.15, small ? 1.2 : 0.15};
        image.windowCenter = 1700;
        image.windowWidth = 2600;
        image.moreElements << QStringLiteral("(0018,5101)=PA") << QStringLiteral("(0020,0020)=L\\F");
        break;
    case SeriesKind::Ct:
        image.columns = image.rows = small ? 64 : 512;
        image.pixelData = ctSlice(image.columns, image.rows, index, seed);
        image.pixelSpacing = std::pair{small ? 5.6 : 0.7, small ? 5.6 : 0.7};
        image.rescaleIntercept = -1024;
        image.rescaleSlope = 1;
        image.windowCenter = 40;
        image.windowWidth = 400;
        {
            // Axial slices 5 mm apart, the image centred on the table axis.
            const double half = image.columns * image.pixelSpacing->second / 2.0;
            image.moreElements << QStringLiteral("(0008,0008)=ORIGINAL\\PRIMARY\\AXIAL")
                               << QStringLiteral("(0018,0060)=120") << QStringLiteral("(0018,0050)=5")
                               << QStringLiteral("(0018,5100)=HFS") << QStringLiteral("(0020,0012)=1")
                               << QStringLiteral("(0020,0052)=%1").arg(frameOfReferenceUid_)
                               << QStringLiteral("(0020,1040)=")
                               << QStringLiteral("(0020,0037)=1\\0\\0\\0\\1\\0")
                               << QStringLiteral("(0020,0032)=%1\\%1\\%2").arg(-half).arg(-5.0 * index);
        }
        break;
    case SeriesKind::Ultrasound:
        image.columns = small ? 80 : 640;
        image.rows = small ? 60 : 480;
        image.samplesPerPixel = 3;
        image.bitsAllocated = image.bitsStored = 8;
        image.photometric = QStringLiteral("RGB");
        image.pixelData = ultrasoundRgb(image.columns, image.rows, seed);
        image.moreElements << QStringLiteral("(0008,0008)=ORIGINAL\\PRIMARY")
                           << QStringLiteral("(0020,0020)=");
        break;
    case SeriesKind::MultiFrame:
        image.columns = image.rows = small ? 64 : 512;
        image.frames = small ? 4 : 8;
        image.bitsAllocated = image.bitsStored = 8;
        image.pixelData = angiographyFrames(image.columns, image.rows, image.frames, seed);
        image.pixelSpacing = std::pair{small ? 2.4 : 0.3, small ? 2.4 : 0.3};
        // A run of frames 1/15 s apart, tube and table still.
        image.moreElements << QStringLiteral("(0008,0008)=ORIGINAL\\PRIMARY\\SINGLE PLANE")
                           << QStringLiteral("(0028,1040)=LIN") << QStringLiteral("(0018,1155)=GR")
                           << QStringLiteral("(0028,0009)=(0018,1063)") << QStringLiteral("(0018,1063)=66.7")
                           << QStringLiteral("(0018,0060)=80") << QStringLiteral("(0018,1150)=100")
                           << QStringLiteral("(0018,1151)=400") << QStringLiteral("(0018,1152)=40")
                           << QStringLiteral("(0018,1500)=STATIC") << QStringLiteral("(0018,1510)=0")
                           << QStringLiteral("(0018,1511)=0") << QStringLiteral("(0020,0020)=L\\F");
        break;
    }
    const QString extension = p.withMetaHeader ? QStringLiteral(".dcm") : QStringLiteral(".v2");
    const QString objectFile = QStringLiteral("%1/%2_%3_%4_%5%6")
                                   .arg(p.id, image.seriesInstanceUid)
                                   .arg(image.seriesNumber, 4, 10, QChar('0'))
                                   .arg(image.instanceNumber, 6, 10, QChar('0'))
                                   .arg(QDateTime::currentMSecsSinceEpoch() % 1000000)
                                   .arg(extension);
    QDir().mkpath(options_.imageStore + QLatin1Char('/') + p.id);
    const DicomResult written = writeDicomImage(image, options_.imageStore + QLatin1Char('/') + objectFile,
        p.withMetaHeader ? DicomFileLayout::WithMetaHeader : DicomFileLayout::BareImplicitLittle);
    if (!written.ok)
        return written.error;
    ++imageCount_;
    return insertImage(image, objectFile);
}

QString DemoPacs::insertPatientAndStudy(const DemoPatient& p, const NewDicomImage& first)
{
    QSqlQuery exists(db_);
    exists.prepare("SELECT COUNT(*) FROM DICOMPatients WHERE PatientID = ?");
    exists.addBindValue(p.id);
    if (!exists.exec() || !exists.next())
        return sqlError(exists);
    if (exists.value(0).toInt() == 0) {
        QSqlQuery insert(db_);
        insert.prepare(QStringLiteral(
            "INSERT INTO DICOMPatients (PatientID, PatientNam, PatientBir, PatientSex, AccessTime) "
            "VALUES (?, %1, ?, ?, ?)")
                           .arg(storedBytes(db_)));
        for (const QVariant& v : {QVariant(p.id), QVariant(nameBytes(db_, p, p.name)), QVariant(p.birthDate),
                 QVariant(p.sex), QVariant(QDateTime::currentSecsSinceEpoch())})
            insert.addBindValue(v);
        if (QString error = run(insert); !error.isEmpty())
            return error;
    }
    QSqlQuery study(db_);
    study.prepare("SELECT COUNT(*) FROM DICOMStudies WHERE StudyInsta = ?");
    study.addBindValue(first.studyInstanceUid);
    if (!study.exec() || !study.next())
        return sqlError(study);
    if (study.value(0).toInt() > 0)
        return {};
    QSqlQuery insert(db_);
    insert.prepare(
        QStringLiteral("INSERT INTO DICOMStudies (StudyInsta, StudyDate, StudyTime, StudyID, StudyDescr, "
                       "AccessionN, ReferPhysi, PatientID, PatientNam, PatientBir, PatientSex, StudyModal, "
                       "AccessTime) VALUES (?, ?, ?, ?, ?, ?, %1, ?, %1, ?, ?, ?, ?)")
            .arg(storedBytes(db_)));
    for (const QVariant& v : {QVariant(first.studyInstanceUid), QVariant(first.studyDate),
             QVariant(first.studyTime), QVariant(first.studyId), QVariant(first.studyDescription),
             QVariant(first.accessionNumber), QVariant(nameBytes(db_, p, first.referringPhysician)),
             QVariant(p.id), QVariant(nameBytes(db_, p, p.name)), QVariant(p.birthDate), QVariant(p.sex),
             QVariant(first.modality)})
        insert.addBindValue(v);
    insert.addBindValue(QDateTime::currentSecsSinceEpoch());
    return run(insert);
}

QString DemoPacs::insertSeries(const NewDicomImage& first)
{
    QSqlQuery insert(db_);
    insert.prepare(
        "INSERT INTO DICOMSeries (SeriesInst, SeriesNumb, SeriesDate, SeriesTime, SeriesDesc, Modality, "
        "BodyPartEx, StationNam, Institutio, SeriesPat, StudyInsta, AccessTime) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (const QString& v : {first.seriesInstanceUid, QString::number(first.seriesNumber), first.studyDate,
             first.studyTime, first.seriesDescription, first.modality, first.bodyPart, first.stationName,
             QStringLiteral("CABINET DE RADIOLOGIE"), first.patientId, first.studyInstanceUid})
        insert.addBindValue(v);
    insert.addBindValue(QDateTime::currentSecsSinceEpoch());
    return run(insert);
}

QString DemoPacs::insertImage(const NewDicomImage& image, const QString& objectFile)
{
    QSqlQuery insert(db_);
    insert.prepare(
        "INSERT INTO DICOMImages (SOPInstanc, SOPClassUI, ImageNumbe, ImageDate, ImageTime, NumberOfFr, "
        "SeriesInst, ObjectFile, DeviceName, ImagePat, AccessTime) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (const QString& v : {image.sopInstanceUid, image.sopClassUid, QString::number(image.instanceNumber),
             image.studyDate, image.studyTime, QString::number(image.frames), image.seriesInstanceUid,
             objectFile, QStringLiteral("MAG0"), image.patientId})
        insert.addBindValue(v);
    insert.addBindValue(QDateTime::currentSecsSinceEpoch());
    return run(insert);
}

} // namespace vexa::demo
