// vexa-demopacs: writes a demo Conquest database and image store.
//
//   vexa-demopacs [--db PATH|postgresql://user:pw@host:port/db] [--store DIR]
//                 [--patients N] [--images N] [--small] [--feed SECONDS] [--interval SECONDS]
//
// Defaults: --db demopacs/data/dbase/conquest.db3, --store demopacs/data,
// 12 patients, 2 images per series. --feed keeps adding a series every
// --interval seconds (default 5) for SECONDS seconds into the existing
// database, as Conquest does while receiving.
#include "DemoPacs.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cstdio>

using namespace vexa::demo;

namespace {

int fail(const QString& what)
{
    std::fprintf(stderr, "vexa-demopacs: %s\n", qPrintable(what));
    return 1;
}

int feed(DemoPacs& pacs, int seconds, int interval)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < seconds * 1000LL) {
        if (QString error = pacs.addFeedSeries(); !error.isEmpty())
            return fail(error);
        std::printf("series %d written (%d images in all)\n", pacs.seriesWritten(), pacs.imagesWritten());
        std::fflush(stdout);
        QThread::sleep(static_cast<unsigned long>(interval));
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Writes a demo Conquest database and image store.");
    parser.addHelpOption();
    parser.addOptions({
        {"db", "SQLite file or postgresql:// URL.", "path", "demopacs/data/dbase/conquest.db3"},
        {"store", "Image store folder.", "dir", "demopacs/data"},
        {"patients", "Number of patients.", "n", "12"},
        {"images", "Images per series (CT: three times as many).", "n", "2"},
        {"small", "Small images, for tests."},
        {"feed", "Add series into the existing database for this many seconds.", "seconds"},
        {"interval", "Seconds between fed series.", "seconds", "5"},
    });
    parser.process(app);

    DemoPacsOptions options;
    options.database = parser.value("db");
    options.imageStore = parser.value("store");
    options.patients = std::max(1, parser.value("patients").toInt());
    options.imagesPerSeries = std::max(1, parser.value("images").toInt());
    options.small = parser.isSet("small");
    const bool feeding = parser.isSet("feed");

    DemoPacs pacs(options);
    if (QString error = pacs.open(!feeding); !error.isEmpty())
        return fail(error);
    if (feeding)
        return feed(pacs, parser.value("feed").toInt(), std::max(1, parser.value("interval").toInt()));
    if (QString error = pacs.generate(); !error.isEmpty())
        return fail(error);
    std::printf("%d series, %d images written to %s\n", pacs.seriesWritten(), pacs.imagesWritten(),
        qPrintable(options.database));
    return 0;
}
