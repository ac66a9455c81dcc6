#pragma once
// Opening Conquest's database at start-up and adding what the program needs:
// its columns, its two number tables and the indexes its queries use. Run in
// full at every start; what already exists is passed over.
#include <QString>
#include <QStringList>

namespace vexa {

// The Jet texts of the upgrade, in order.
const QStringList& upgradeStatements();

// Opens conquestPath, runs the upgrade and closes the connection again.
// Returns "" on success, else the provider's description of the first fatal
// failure (the start-up then shows the messages below and ends).
QString openAndUpgrade(const QString& conquestPath);

// What the start-up has to do on a database before its lists are whole.
struct StartupWorkload {
    QString error; // the opening failed: the provider's description
    bool schemaToChange = false; // a column, table or index is missing
    qint64 imagesToName = 0; // every image when the columns are missing
};

// Opens conquestPath and asks the catalogue and one count, changing nothing.
StartupWorkload inspectDatabase(const QString& conquestPath);

// Texts of the start-up's messages on a fatal failure.
QString openErrorTitle(); // first box, error icon
QString openErrorText(const QString& description); // its text
QString databaseNotFoundText(); // second box, "VexaDICOM", question, Yes/No
QString restartToApplyText(); // after the options dialog, exclamation

} // namespace vexa
