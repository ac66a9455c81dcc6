// Stands for another workstation in the numbering tests: draws accession
// numbers from the database and prints each on its own line.
//   worklist_number_drawer <ConquestPath> <count> <go-file>
// Drawing starts once <go-file> exists, so that two drawers start together.
#include "pacsdb/ConquestSchema.h"
#include "worklist/WorklistNumbers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: worklist_number_drawer <ConquestPath> <count> <go-file>\n");
        return 2;
    }
    QString error;
    QSqlDatabase db = vexa::openConquestDatabase(args[1], QStringLiteral("drawer"), &error);
    if (!db.isOpen()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(args[3]) && waited.elapsed() < 20000)
        QThread::msleep(2);
    const int count = args[2].toInt();
    for (int i = 0; i < count; ++i) {
        const vexa::DrawnNumber drawn = vexa::drawNumber(db, vexa::CounterTable::AccessionNumbers);
        if (!drawn.ok()) {
            std::fprintf(stderr, "%s\n", qPrintable(drawn.error));
            return 1;
        }
        std::printf("%lld\n", static_cast<long long>(drawn.value));
    }
    return 0;
}
