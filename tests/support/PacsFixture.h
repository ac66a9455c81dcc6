#pragma once
// A generated Conquest database (SQLite) with its image store for the main
// window's tests, a settings file pointing at it, and the main window started
// on it with scripted dialogs and its own instance lock.
#include "ScriptedDialogService.h"
#include "base/core/DialogService.h"
#include "shell/main/MainWindow.h"
#include "shell/main/SingleInstance.h"
#include "shell/main/Startup.h"

#include <QDate>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace vexa::test {

class PacsFixture {
public:
    PacsFixture();
    ~PacsFixture();

    QString databasePath() const;
    QString imageRoot() const; // with its trailing separator
    QString settingsPath() const;

    // Conquest's own writes, on a connection of its own.
    void addPatient(const QString& id, const QString& dicomName);
    void addSeries(
        const QString& uid, const QString& patientId, const QDate& date, const QString& study = {});
    // Adds `count` images (ObjectFile "<patient>/<uid>_<n>.v2"): the image files
    // and their preview pictures.
    QStringList addImages(const QString& seriesUid, const QString& patientId, const QDate& date, int count);
    void exec(const QString& sql);
    // Two patients' exams on `day`: ALPHA^ANNE (series SA, 3 images) and
    // BRAVO^BRUNO (series SB, 2 images).
    void addTwoExams(const QDate& day);

    // Points the settings at the database (as the options dialog would).
    void configure();

private:
    QTemporaryDir dir_;
    QString connection_;
    QSqlDatabase db_;
};

// The main window on the fixture's database, started as the program starts it.
struct StartedWindow {
    explicit StartedWindow(const QString& lockFolder);
    StartupOutcome start();

    ScriptedDialogService dialogs;
    SingleInstance instance;
    MainWindow window;
    int optionsShown = 0;
    QStringList connectionsWhenOptionsShown;
    std::function<void()> onOptions;
};

// An empty, configured database and the main window already started on it,
// for the tests that begin from the running program.
class StartedOnPacs : public ::testing::Test {
protected:
    void SetUp() override
    {
        pacs_.configure();
        ASSERT_EQ(started_.start(), StartupOutcome::Run);
    }

    QTemporaryDir locks_;
    PacsFixture pacs_;
    StartedWindow started_{locks_.path()};
};

} // namespace vexa::test
