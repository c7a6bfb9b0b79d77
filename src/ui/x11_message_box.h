// A message box drawn with plain Xlib and Xft, for an X display that Qt cannot paint on: on an 8-bit
// PseudoColor visual Qt's windows stay black. The box is centred on the screen, shows one line of text
// above an OK button, and waits until the user presses the button (mouse, Return, Enter, Space or Escape)
// or closes the window.
#pragma once

#include <string>

struct _XDisplay;

namespace mozenta {

struct X11MessageBoxLook {
  std::string fontPattern;  // fontconfig pattern of the text, "IPAPGothic,IPAGothic:pixelsize=12"
  unsigned char face[3];    // the red, green and blue of the window's background
  int minimumWidth = 0;     // room for the caption in the window manager's title bar
};

// Shows the box on the X display of `display`, through a connection of its own, and returns once the user
// has closed it. Returns false, having shown nothing, when the display or the font cannot be had.
bool ShowX11MessageBox(_XDisplay* display, const std::string& title, const std::string& text,
                       const X11MessageBoxLook& look);

}  // namespace mozenta
