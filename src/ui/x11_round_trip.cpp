#include "x11_round_trip.h"

#include <X11/Xlib.h>

namespace mozenta {

void X11RoundTrip(Display* display) {
  XSync(display, False);
}

}  // namespace mozenta
