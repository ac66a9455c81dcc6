#pragma once
// The widget-free steps of the start-up and of the frame: staging folders,
// the version caption and the window's place on the screen.
#include <QRect>
#include <QString>

namespace vexa {

// Creates the CD staging folders under the per-user data folder, open to
// their owner only, and records them in the process-wide values; a folder
// that cannot be made is left to the actions that use it.
void createStagingFolders();

// "Version : 2.1.14": plain decimal numbers, no padding.
QString versionCaption(int major, int minor, int revision);
// "Version 2.1.14", as the about window shows it.
QString aboutVersionText(int major, int minor, int revision);

// The notice while the first start brings the database up to date:
// "Mise à jour de la base : 12 000 / 300 000 images".
QString upgradeProgressText(qint64 done, qint64 total);

// The main window's rectangle in pixels: the whole width, and the height
// above (positive) or below (negative) the desktop's band of that height.
QRect mainWindowRect(const QRect& screen, int taskbarHeight);

} // namespace vexa
