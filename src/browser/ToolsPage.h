#pragma once
// Page 3 of the main window, "Outils...": the general tools that need no
// opened exam (day list, marking every exam burned, report templates and
// letterhead, worklist, update, help) and the buttons kept without action.
// The actions themselves are the main window's.
#include <brixel/Button.h>
#include <brixel/DesignFile.h>

#include <QWidget>

namespace vexa {

// The tooltip of the tools that are not available in this version.
QString unavailableToolText();

class ToolsPage : public QWidget {
public:
    explicit ToolsPage(const brixel::DesignFile& design, QWidget* parent = nullptr);

    brixel::Button* dayListButton; // the day list
    brixel::Button* markAllBurnedButton; // every exam considered burned
    brixel::Button* reportTemplateButton; // edit a report template
    brixel::Button* letterheadButton; // edit the reports' letterhead
    brixel::Button* worklistButton; // worklist entry
    brixel::Button* updateButton; // update by the Internet updater
    brixel::Button* helpButton; // the user guide
    // Shown, without action.
    brixel::Button* archiveDvdButton;
    brixel::Button* backupButton;
    brixel::Button* enablePrintingButton;
};

} // namespace vexa
