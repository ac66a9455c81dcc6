#include "TestSeries.h"

#include "dicom/DicomWriter.h"
#include "pacsdb/ConquestSchema.h"
#include "pacsdb/PacsUpgrade.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QtEndian>
#include <cmath>

namespace vexa {

namespace {

QByteArray radiographPixels(QSize size, int seed)
{
    QByteArray data(size.width() * size.height() * 2, Qt::Uninitialized);
    auto* out = reinterpret_cast<quint16*>(data.data());
    const double cx = size.width() * (0.4 + 0.05 * seed), cy = size.height() * 0.45;
    const double radius = std::min(size.width(), size.height()) * 0.25;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            double value = 400.0 + 1200.0 * y / size.height();
            if (std::hypot(x - cx, y - cy) < radius)
                value += 1800.0;
            if (std::abs(x - size.width() * 0.7) < size.width() * 0.03)
                value += 1000.0;
            *out++ = static_cast<quint16>(std::min(4095.0, value));
        }
    }
    return data;
}

QString writeImages(TestSeries& series, int count, QSize size, double rowSpacing, double columnSpacing)
{
    const QString patient = QStringLiteral("PAT001");
    QDir(series.imageRoot).mkpath(patient);
    for (int i = 0; i < count; ++i) {
        NewDicomImage image;
        image.patientName = QStringLiteral("DUPONT^JEAN");
        image.patientId = patient;
        image.studyInstanceUid = series.seriesUid + QStringLiteral(".9");
        image.seriesInstanceUid = series.seriesUid;
        image.sopInstanceUid = series.seriesUid + QStringLiteral(".%1").arg(i + 1);
        image.sopClassUid = sop_class::ComputedRadiography;
        image.studyDate = QStringLiteral("20260314");
        image.modality = QStringLiteral("CR");
        image.instanceNumber = i + 1;
        image.columns = size.width();
        image.rows = size.height();
        image.pixelData = radiographPixels(size, i);
        image.windowCenter = 2000;
        image.windowWidth = 4000;
        image.pixelSpacing = std::make_pair(rowSpacing, columnSpacing);
        const QString relative = QStringLiteral("%1/image_%2.dcm").arg(patient).arg(i + 1);
        const DicomResult written = writeDicomImage(
            image, series.imageRoot + QLatin1Char('/') + relative, DicomFileLayout::WithMetaHeader);
        if (!written.ok)
            return written.error;
        series.objectFiles << relative;
    }
    return {};
}

QString writeRows(const TestSeries& series)
{
    QString error;
    {
        QSqlDatabase db = openConquestDatabase(
            series.databasePath, QStringLiteral("test_series_create"), &error, MissingFile::Create);
        if (!db.isOpen())
            return error;
        error = createConquestTables(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("test_series_create"));
    if (!error.isEmpty())
        return error;
    error = openAndUpgrade(series.databasePath);
    if (!error.isEmpty())
        return error;
    {
        QSqlDatabase db
            = openConquestDatabase(series.databasePath, QStringLiteral("test_series_rows"), &error);
        QSqlQuery seriesRow(db);
        if (!seriesRow.exec(
                QStringLiteral("INSERT INTO DICOMSeries (SeriesInst, SeriesPat, SeriesDate, "
                               "StudyInsta, Modality) VALUES ('%1', 'PAT001', '20260314', '%1.9', "
                               "'CR')")
                    .arg(series.seriesUid)))
            error = seriesRow.lastError().text();
        for (int i = 0; i < series.objectFiles.size() && error.isEmpty(); ++i) {
            QSqlQuery insert(db);
            insert.prepare(
                QStringLiteral("INSERT INTO DICOMImages (SOPInstanc, SeriesInst, ObjectFile, ImageDate, "
                               "AcqDate, PatientName) VALUES (?, ?, ?, ?, ?, ?)"));
            insert.addBindValue(series.seriesUid + QStringLiteral(".%1").arg(i + 1));
            insert.addBindValue(series.seriesUid);
            insert.addBindValue(series.objectFiles[i]);
            insert.addBindValue(QStringLiteral("20260314"));
            insert.addBindValue(i == 0 ? QString() : QStringLiteral("20260315"));
            insert.addBindValue(QStringLiteral("DUPONT JEAN"));
            if (!insert.exec())
                error = insert.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("test_series_rows"));
    return error;
}

constexpr quint16 PrivateGroup = 0x7F01; // odd groups from here come just before the pixels

quint16 word(const QByteArray& bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

// Where the first element at or after (group, 0) starts in an explicit VR
// little endian file written by the test writer; -1 when it cannot be walked.
qsizetype elementAt(const QByteArray& bytes, quint16 group)
{
    qsizetype at = 132;
    while (at + 8 <= bytes.size()) {
        if (word(bytes, at) >= group && word(bytes, at) != 0x0002)
            return at;
        const QByteArray vr = bytes.mid(at + 4, 2);
        const bool longForm
            = vr == "OB" || vr == "OW" || vr == "OF" || vr == "SQ" || vr == "UT" || vr == "UN";
        if (longForm) {
            const quint32 length = qFromLittleEndian<quint32>(bytes.constData() + at + 8);
            if (length == 0xFFFFFFFFu)
                return -1;
            at += 12 + length;
        } else {
            at += 8 + word(bytes, at + 6);
        }
    }
    return -1;
}

} // namespace

QString addPrivateElements(const QString& path, int count)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    QByteArray bytes = file.readAll();
    file.close();
    if (!bytes.contains("1.2.840.10008.1.2.1"))
        return QStringLiteral("not explicit VR little endian");
    const qsizetype at = elementAt(bytes, PrivateGroup);
    if (at < 0)
        return QStringLiteral("elements not walked");
    QByteArray extra;
    extra.reserve(qsizetype(count) * 10);
    for (int i = 0; i < count; ++i) {
        const quint16 group = PrivateGroup + 2 * (i / 0xF000);
        const quint16 element = 0x1000 + i % 0xF000;
        char head[8];
        qToLittleEndian(group, head);
        qToLittleEndian(element, head + 2);
        head[4] = 'L';
        head[5] = 'O';
        qToLittleEndian(quint16(2), head + 6);
        extra.append(head, 8).append("AB", 2);
    }
    bytes.insert(at, extra);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return file.errorString();
    return {};
}

TestSeries makeTestSeries(const QString& folder, int count, QSize size, double spacing)
{
    return makeTestSeries(folder, count, size, spacing, spacing);
}

TestSeries makeTestSeries(
    const QString& folder, int count, QSize size, double rowSpacing, double columnSpacing)
{
    TestSeries series;
    series.imageRoot = QDir(folder).filePath(QStringLiteral("images"));
    series.databasePath = QDir(folder).filePath(QStringLiteral("conquest.db3"));
    series.seriesUid = QStringLiteral("1.2.826.0.1.3680043.2.1125.1");
    series.error = writeImages(series, count, size, rowSpacing, columnSpacing);
    if (series.error.isEmpty())
        series.error = writeRows(series);
    return series;
}

} // namespace vexa
