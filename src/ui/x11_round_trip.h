// A round trip to the X server, in plain Xlib, apart from Qt's headers, which Xlib's macros would break.
#pragma once

struct _XDisplay;

namespace mozenta {

// Returns once the X server has handled every request sent on `display` and sent the events they caused.
void X11RoundTrip(_XDisplay* display);

}  // namespace mozenta
