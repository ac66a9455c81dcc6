#include "PacsConnection.h"

#include "ConquestSchema.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <vector>

namespace vexa {

namespace {

bool OnUiThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

// A worker thread's connections are its own: Qt SQL connections may only be
// used on the thread that opened them. They are removed when the thread ends.
struct WorkerConnections {
    std::vector<QString> names;
    ~WorkerConnections()
    {
        // A pool thread may end only when the program does, after the
        // application and Qt SQL's own registry are gone: nothing to remove then.
        if (!QCoreApplication::instance())
            return;
        for (const QString& name : names) {
            QSqlDatabase::database(name, false).close();
            QSqlDatabase::removeDatabase(name);
        }
    }
};

QString ConnectionName(const QString& conquestPath)
{
    QString name = QStringLiteral("vexa-pacs:") + conquestPath;
    if (!OnUiThread())
        name += QStringLiteral("@thread:%1").arg(reinterpret_cast<quintptr>(QThread::currentThread()));
    return name;
}

void RememberWorkerConnection(const QString& name)
{
    if (OnUiThread())
        return;
    thread_local WorkerConnections connections;
    if (std::find(connections.names.begin(), connections.names.end(), name) == connections.names.end())
        connections.names.push_back(name);
}

} // namespace

QSqlDatabase PacsConnection(const QString& conquestPath, QString* error)
{
    const QString name = ConnectionName(conquestPath);
    if (QSqlDatabase::contains(name)) {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isOpen())
            return db;
    }
    RememberWorkerConnection(name);
    return OpenConquestDatabase(conquestPath, name, error);
}

void ClosePacsConnection(const QString& conquestPath)
{
    const QString name = ConnectionName(conquestPath);
    if (!QSqlDatabase::contains(name))
        return;
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
}

} // namespace vexa
