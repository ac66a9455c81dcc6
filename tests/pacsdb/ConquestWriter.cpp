// Stands for the Conquest server in the concurrency test: inserts series and
// images into the database one statement at a time, pausing between images.
//   conquest_writer <ConquestPath> <series> <images-per-series> <pause-ms> <prefix>
#include "ConquestSchema.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <cstdio>

namespace {

bool Insert(QSqlDatabase& db, const QString& sql, const QVariantList& values)
{
    QSqlQuery query(db);
    query.prepare(sql);
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (query.exec())
        return true;
    std::fprintf(stderr, "%s\n", qPrintable(query.lastError().text()));
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 6)
        return 2;
    QString error;
    QSqlDatabase db = vexa::OpenConquestDatabase(args[1], QStringLiteral("conquest"), &error);
    if (!db.isOpen()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const int series = args[2].toInt(), images = args[3].toInt(), pauseMs = args[4].toInt();
    const QString prefix = args[5];
    for (int s = 0; s < series; ++s) {
        const QString patient = QStringLiteral("%1P%2").arg(prefix).arg(s);
        const QString uid = QStringLiteral("%1S%2").arg(prefix).arg(s);
        if (!Insert(db, QStringLiteral("INSERT INTO DICOMPatients (PatientID, PatientNam) VALUES (?, ?)"),
                {patient, QStringLiteral("CONQUEST^%1").arg(s)})
            || !Insert(db,
                QStringLiteral(
                    "INSERT INTO DICOMSeries (SeriesInst, SeriesPat, SeriesDate) VALUES (?, ?, ?)"),
                {uid, patient, QStringLiteral("20240110")}))
            return 1;
        for (int i = 0; i < images; ++i) {
            if (!Insert(db,
                    QStringLiteral("INSERT INTO DICOMImages (SOPInstanc, SeriesInst, ImagePat, ImageDate, "
                                   "ObjectFile) VALUES (?, ?, ?, ?, ?)"),
                    {QStringLiteral("%1.%2").arg(uid).arg(i), uid, patient, QStringLiteral("20240110"),
                        QStringLiteral("%1/%2.v2").arg(patient).arg(i)}))
                return 1;
            QThread::msleep(pauseMs);
        }
    }
    return 0;
}
