// Times the patient search of page 1 at practice size: 200,000 images by
// default (20,000 series of 10 images, five series per patient).
//   bench_browser_search [series=20000] [images-per-series=10] [postgresql://... (an empty database)]
// For each typed text it prints the median time of RunPatientSearch (query,
// rows read into the list) and the rows found, then the same for a plain
// start-of-name search (PatientName LIKE 'text%', the search as it was) on
// the same database, as the baseline.
#include "base/core/PersonName.h"
#include "browser/ExamLists.h"
#include "pacsdb/PacsUpgrade.h"
#include "pacsdb/QueryCatalogue.h"
#include "pacsdb/SearchWords.h"
#include "pacsdb/SqlExec.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

using namespace vexa;

namespace {

constexpr int kSeriesPerPatient = 5;
constexpr int kRowsPerInsert = 500;

void exec(QSqlQuery& query, const QString& sql)
{
    if (!query.exec(sql)) {
        std::fprintf(stderr, "%s\n", qPrintable(query.lastError().text()));
        std::exit(1);
    }
}

QString quote(const QString& text)
{
    return u'\'' + QString(text).replace(u'\'', QStringLiteral("''")) + u'\'';
}

// Family and first names with the accents and separators of a French
// practice's patients.
QString patientName(int patient)
{
    static const char* family[] = {"MARTIN", "BERNARD", "DUBOIS", "THOMAS", "ROBERT", "RICHARD", "PETIT",
        "DURAND", "LEFÈVRE", "MOREAU", "SIMON", "LAURENT", "LEFEBVRE", "MICHEL", "GARCIA", "DAVID",
        "BERTRAND", "ROUX", "VINCENT", "FOURNIER", "MOREL", "GIRARD", "ANDRÉ", "MERCIER", "DUPONT", "LAMBERT",
        "BONNET", "FRANÇOIS", "MARTINEZ", "LEGRAND", "GARNIER", "FAURE", "ROUSSEAU", "BLANC", "GUÉRIN",
        "MULLER", "HENRY", "ROUSSEL", "NICOLAS", "PERRIN", "MORIN", "MATHIEU", "CLÉMENT", "GAUTHIER",
        "DUMONT", "LOPEZ", "FONTAINE", "CHEVALIER", "ROBIN", "O'NEILL"};
    static const char* first[] = {"JEAN", "MARIE", "PIERRE", "ANNE", "MICHEL", "HÉLÈNE", "JEAN-PIERRE",
        "FRANÇOISE", "CHLOÉ", "LÉA", "JÉRÔME", "NOËL", "ÉLODIE", "ZOÉ", "LOUIS", "CLAIRE", "PAUL", "SOPHIE",
        "JULIEN", "CÉLINE", "ANNE-SOPHIE", "THÉO", "MAËLLE", "BENOÎT", "AGNÈS", "CÉDRIC", "GAËL"};
    const int families = sizeof(family) / sizeof(*family);
    const int firsts = sizeof(first) / sizeof(*first);
    return QString::fromUtf8(family[patient % families]) + QStringLiteral("%1^").arg(patient / families)
        + QString::fromUtf8(first[(patient / 7) % firsts]);
}

// Fills the upgraded database with named series and their images, as the
// program leaves them once Conquest's rows are named.
void fill(QSqlDatabase& db, int series, int imagesPerSeries)
{
    beginWrite(db);
    QSqlQuery query(db);
    QStringList patients, seriesRows, images;
    const auto flush = [&](QStringList& rows, const QString& head, bool force) {
        if (rows.isEmpty() || (!force && rows.size() < kRowsPerInsert))
            return;
        exec(query, head + rows.join(u','));
        rows.clear();
    };
    const QString patientHead
        = QStringLiteral("INSERT INTO DICOMPatients (PatientID, PatientNam, PatientBir) VALUES ");
    const QString seriesHead
        = QStringLiteral("INSERT INTO DICOMSeries (SeriesInst, SeriesPat, SeriesDate, SeriesTime, "
                         "Modality, SeriesDesc, PatientName, ScanDate, Burned) VALUES ");
    const QString imageHead = QStringLiteral("INSERT INTO DICOMImages (SOPInstanc, SeriesInst, ImagePat, "
                                             "ImageDate, ObjectFile, PatientName, ScanDate, "
                                             "Burned) VALUES ");
    const QDate firstDay(2020, 1, 1);
    for (int s = 0; s < series; ++s) {
        const int patient = s / kSeriesPerPatient;
        const QString id = QStringLiteral("PAT%1").arg(patient, 6, 10, QLatin1Char('0'));
        const QString name = patientName(patient);
        if (s % kSeriesPerPatient == 0)
            patients << QStringLiteral("(%1, %2, '19600101')").arg(quote(id), quote(name));
        const QDate day = firstDay.addDays(s / 20);
        const QString uid = QStringLiteral("1.2.250.%1").arg(s);
        const QString readable = quote(readablePersonName(name));
        const QString scanDate = quote(day.toString(Qt::ISODate));
        seriesRows << QStringLiteral("(%1, %2, '%3', '101500', 'CR', 'THORAX', %4, %5, -1)")
                          .arg(quote(uid), quote(id), day.toString("yyyyMMdd"), readable, scanDate);
        for (int i = 0; i < imagesPerSeries; ++i)
            images << QStringLiteral("(%1, %2, %3, '%4', %5, %6, %7, -1)")
                          .arg(quote(uid + QStringLiteral(".%1").arg(i)), quote(uid), quote(id),
                              day.toString("yyyyMMdd"), quote(id + QStringLiteral("/%1.v2").arg(i)), readable,
                              scanDate);
        flush(patients, patientHead, false);
        flush(seriesRows, seriesHead, false);
        flush(images, imageHead, false);
    }
    flush(patients, patientHead, true);
    flush(seriesRows, seriesHead, true);
    flush(images, imageHead, true);
    commitWrite(db);
    if (backendOf(db) == SqlBackend::Postgres)
        exec(query, QStringLiteral("ANALYZE"));
}

bool build(const QString& path, int series, int imagesPerSeries)
{
    QString error;
    {
        QSqlDatabase db = openConquestDatabase(path, "bench-build", &error, MissingFile::Create);
        if (!db.isOpen()) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return false;
        }
        error = createConquestTables(db);
        db.close();
    }
    QSqlDatabase::removeDatabase("bench-build");
    if (error.isEmpty())
        error = openAndUpgrade(path);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    {
        QSqlDatabase db = openConquestDatabase(path, "bench-build", &error);
        fill(db, series, imagesPerSeries);
        db.close();
    }
    QSqlDatabase::removeDatabase("bench-build");
    return true;
}

double medianMs(const std::function<void()>& run)
{
    run(); // warm: connection and caches
    std::vector<double> times;
    for (int i = 0; i < 11; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void measure(const char* engine, const QString& path)
{
    std::printf("%s\n", engine);
    // The texts of a day's work, then the longest the box takes: 64 "*", 64
    // letters, and wild cards between letters.
    const QStringList typed{"jean", "lefevre", "dup", "marie", "o'n", "ZZZ", "m*n", QString(64, u'*'),
        QString(64, u'a'), QStringLiteral("m*a*r*t*i*n*?*?*e*a*n*").repeated(3).left(64)};
    double worst = 0;
    for (const QString& typedText : typed) {
        const QByteArray label = typedText.size() > 8
            ? (typedText.left(5) + QStringLiteral("..%1").arg(typedText.size())).toUtf8()
            : typedText.toUtf8();
        const char* text = label.constData();
        RecordSet list;
        PatientSearchResult result;
        const double ms = medianMs([&] { result = runPatientSearch(list, path, typedText); });
        if (!list.lastError().isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(list.lastError()));
            std::exit(1);
        }
        RecordSet plain;
        plain.setDatabasePath(path);
        const QString prefix = typedText.left(kSearchTextMax).toUpper();
        plain.setRecordSource(
            QStringLiteral("SELECT * FROM DICOMSeries WHERE PatientName LIKE '%1*' ORDER BY "
                           "PatientName, ScanDate, Compteur")
                .arg(QString(prefix).replace(u'\'', QStringLiteral("''"))));
        const double baseline = medianMs([&] { plain.requery(); });
        worst = std::max(worst, ms);
        std::printf("  %-8s %7.1f ms  %5d series   (start of name only: %6.1f ms, %5d series; ratio %.1f)\n",
            text, ms, list.count(), baseline, plain.count(), baseline > 0 ? ms / baseline : 0.0);
    }
    std::printf("  slowest search: %.1f ms (goal < 50 ms) %s\n", worst, worst < 50 ? "OK" : "OVER");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int series = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int perSeries = argc > 2 ? std::atoi(argv[2]) : 10;
    std::printf("patient search: %d series, %d images\n", series, series * perSeries);

    QTemporaryDir dir;
    const QString sqlite = dir.filePath("conquest.sqlite");
    if (!build(sqlite, series, perSeries))
        return 1;
    measure("SQLite", sqlite);

    if (argc > 3) {
        const QString pg = QString::fromLocal8Bit(argv[3]);
        if (!build(pg, series, perSeries))
            return 1;
        measure("PostgreSQL", pg);
    }
    return 0;
}
