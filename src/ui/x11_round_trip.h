// A few X server queries in plain Xlib, apart from Qt's headers, which Xlib's macros would break.
#pragma once

#include <vector>

struct _XDisplay;

namespace mozenta {

// Returns once the X server has handled every request sent on `display` and sent the events they caused.
void X11RoundTrip(_XDisplay* display);

// The children of the root window that hold `windows`: their window manager's frames, or themselves.
std::vector<unsigned long> X11TopLevels(_XDisplay* display, const std::vector<unsigned long>& windows);

// Whether a window other than `ownTopLevels` (from X11TopLevels) is still shown over any of them within
// the screen rectangle x, y, width, height: a dialog's frame that the window manager has not yet taken
// down, for instance.
bool X11OthersCover(_XDisplay* display, int x, int y, int width, int height,
                    const std::vector<unsigned long>& ownTopLevels);

}  // namespace mozenta
