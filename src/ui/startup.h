// Start-up: the application object, the four windows, the display check, the main window and the loop.
#pragma once

#include <functional>

class QApplication;

namespace mozenta {

class DesignedWindow;

// How many entries the hardware palette of the display showing `window` has.
using PaletteSizeQuery = std::function<int(DesignedWindow& window)>;

// 256 on a display of 8 bits per pixel, whose colours go through a hardware palette; 0 on a display
// without one. Gives `window` its on-screen window, still hidden.
int DisplayPaletteSize(DesignedWindow& window);

// The display check: on a display with a 256-entry hardware palette, shows "256色モードでは動作しません。"
// in a box with the application title, no icon and one OK button, and returns false once the user has
// closed it.
bool PassesDisplayCheck(DesignedWindow& mainWindow, const PaletteSizeQuery& paletteSize);

// Creates the windows, runs the display check, shows the main window and runs the event loop until the
// main window closes. Returns the exit status: 0 also when the display check refused.
int RunWindows(QApplication& application, const PaletteSizeQuery& paletteSize = DisplayPaletteSize);

// The program: makes the application object and calls RunWindows.
int RunMozenta(int argc, char** argv);

}  // namespace mozenta
