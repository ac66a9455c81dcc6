#pragma once
// What the options dialog shows and stores, without widgets: the values of its
// controls, how they are read from the settings store and written back, and
// the two path rules of its browse buttons.
#include <QString>

namespace vexa {

struct OptionsValues {
    QString ConquestPath; // Text11
    QString ConquestImagePath; // Text2
    QString Entete; // Text4
    bool Inverse = false; // Check1
    bool IsEtiquette = false; // Check3
    bool EtiquetteAutoPrint = false; // Check4
    QString ImagePrinter; // Combo1(0)
    QString EtiquettePrinter; // Combo1(1)
    QString CR_Printer; // Combo1(2)
    QString NbEtiquette = QStringLiteral("1"); // Combo2
    int FormatEtiquette = 1; // Option2(i): 0 or 1, 2 when none is selected
    QString FujiCheminNetpix; // Text1(1)
    QString FujiPraticien = QStringLiteral("VD"); // Text1(10)
    bool LetOnTop = true; // Check2
    int Position = 0; // Option1(i): 0 to 4, 5 when none is selected
};

// The main window's place, stored only while it is in its normal state.
struct MainWindowPlace {
    bool normalState = false;
    int leftTwips = 0;
    int topTwips = 0;
};

OptionsValues LoadOptions(const QString& defaultPrinterName);
// Writes every value in the dialog's order, then the main window's place when
// it is in its normal state.
void SaveOptions(const OptionsValues& values, const MainWindowPlace& place);

// The image folder proposed for a database path: the Conquest installation
// folder (with its trailing separator) when the database sits in its "dbase"
// folder, else the path itself, which the user then corrects.
QString ImageFolderForDatabase(const QString& databasePath);

// The folder of a chosen file, up to and including its last separator.
QString FolderOfChosenFile(const QString& filePath);

} // namespace vexa
