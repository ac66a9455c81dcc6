// Renders the day list window on a PACS to a PNG, for a look by eye:
//   daylist_picture <ConquestPath> <ConquestImagePath> <output.png>
// It shows today's images, as the window does when it opens, once the
// database is upgraded and named as the program does when it starts.
#include "base/core/AppValues.h"
#include "pacsdb/ExamNaming.h"
#include "pacsdb/MainRecordSets.h"
#include "pacsdb/PacsUpgrade.h"
#include "printing/daylist/DayListWindow.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: daylist_picture <ConquestPath> <ConquestImagePath> <output.png>\n");
        return 2;
    }
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("Liberation Sans")});
    QApplication::setFont(font);
    vexa::appValues().conquestPath = QString::fromLocal8Bit(argv[1]);
    vexa::MainRecordSets sets;
    const QString failure = vexa::openAndUpgrade(vexa::appValues().conquestPath);
    if (!failure.isEmpty() || !vexa::nameNewRows(sets, vexa::appValues().conquestPath).isEmpty()) {
        std::fprintf(stderr, "cannot prepare the database: %s\n", qPrintable(failure));
        return 1;
    }
    vexa::appValues().conquestImagePath = QString::fromLocal8Bit(argv[2]);
    vexa::DayListWindow window;
    window.show();
    const QString output = QString::fromLocal8Bit(argv[3]);
    int status = 1;
    QTimer::singleShot(500, [&] {
        status = window.grab().save(output) ? 0 : 1;
        app.quit();
    });
    app.exec();
    return status;
}
