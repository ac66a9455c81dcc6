#pragma once
// The day list window: the images received on the day chosen in its calendar
// (today when it opens), one of them opened in the viewer and marked printed
// when the viewer printed it, and the way to the options, the about window and
// the batch print of unprinted images. Borderless, modal, dragged by its
// picture or its title.
//
// The main window opens it with the monitor paused:
//   DayListWindow list(this);
//   list.showOptions = [this] { <the options dialog, modal> };
//   list.showAbout = [this] { AboutDialog(this).exec(); };
//   list.exec();
//   SetWindowTopmost(this);
//   if (list.printUnprintedAsked()) <the batch print of unprinted images>;
#include "pacsdb/RecordSet.h"
#include "printing/daylist/DayList.h"
#include "viewer/window/ViewerRequest.h"

#include <QDialog>
#include <functional>

class QCalendarWidget;
class QLabel;
class QFrame;

namespace brixel {
class Button;
} // namespace brixel

namespace vexa {

class BoundGrid;

class DayListWindow : public QDialog {
    Q_OBJECT
public:
    explicit DayListWindow(QWidget* parent = nullptr);

    // The window's actions that belong to other windows.
    std::function<void()> showOptions;
    std::function<void()> showAbout;
    // Opens the viewer on the request and answers its outcome when it
    // closes; tests replace it.
    std::function<ViewerOutcome(const ViewerRequest&)> runViewer;

    // "Imprimer et quitter..." closed the window: its opener prints what waits.
    bool printUnprintedAsked() const { return printUnprinted_; }

    // The steps of the window, under their own names.
    void showDay(const QDate& day);
    void viewImage();
    void printAndQuit();
    void configure();
    void about();

    RecordSet images{QStringLiteral("Conn")};
    QCalendarWidget* calendar;
    QLabel* titleLabel;
    QLabel* pictureLabel;
    QFrame* waitPanel;
    BoundGrid* grid;
    brixel::Button* viewButton;
    brixel::Button* printButton;
    brixel::Button* optionsButton;
    brixel::Button* aboutButton;
    brixel::Button* quitButton;

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void markViewedImagePrinted(const QString& key);
    void followMonth(int year, int month);

    DayList dayList_{images};
    bool otherWindowOpen_ = false; // the viewer or the options, above the list
    bool printUnprinted_ = false;
};

} // namespace vexa
