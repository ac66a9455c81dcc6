#include "pacsdb/PacsConnection.h"

#include "base/core/Log.h"
#include "pacsdb/ConquestSchema.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <vector>

namespace vexa {

namespace {

bool onUiThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

// A worker thread's connections are its own: Qt SQL connections may only be
// used on the thread that opened them. They are removed as the thread ends.
void removeConnection(const QString& name)
{
    if (!QSqlDatabase::contains(name))
        return;
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
}

// Threads that are not QThreads never say that they finish: their
// connections go with their thread-local storage.
struct WorkerConnections {
    std::vector<QString> names;
    ~WorkerConnections()
    {
        // A pool thread may end only when the program does, after the
        // application and Qt SQL's own registry are gone: nothing to remove then.
        if (!QCoreApplication::instance())
            return;
        for (const QString& name : names)
            removeConnection(name);
    }
};

QString connectionName(const QString& conquestPath)
{
    QString name = QStringLiteral("vexa-pacs:") + conquestPath;
    if (!onUiThread())
        name += QStringLiteral("@thread:%1").arg(reinterpret_cast<quintptr>(QThread::currentThread()));
    return name;
}

void rememberWorkerConnection(const QString& name)
{
    if (onUiThread())
        return;
    thread_local WorkerConnections connections;
    if (std::find(connections.names.begin(), connections.names.end(), name) != connections.names.end())
        return;
    connections.names.push_back(name);
    // QThread::wait() returns once finished() has been emitted, before the
    // thread-local storage is destroyed: remove the connection then, on the
    // worker itself, so nothing is left when the thread is waited for.
    QThread* thread = QThread::currentThread();
    QObject::connect(
        thread, &QThread::finished, thread, [name] { removeConnection(name); }, Qt::DirectConnection);
}

} // namespace

QSqlDatabase pacsConnection(const QString& conquestPath, QString* error)
{
    const QString name = connectionName(conquestPath);
    if (QSqlDatabase::contains(name)) {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isOpen())
            return db;
    }
    rememberWorkerConnection(name);
    QString failure;
    QSqlDatabase db = openConquestDatabase(conquestPath, name, &failure);
    if (!db.isOpen())
        qCWarning(logDatabase).noquote() << QStringLiteral("ouverture de %1 : %2").arg(conquestPath, failure);
    if (error)
        *error = failure;
    return db;
}

void closePacsConnection(const QString& conquestPath)
{
    const QString name = connectionName(conquestPath);
    if (!QSqlDatabase::contains(name))
        return;
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
}

} // namespace vexa
