#include "x11_round_trip.h"

#include <X11/Xlib.h>

#include <algorithm>

namespace mozenta {
namespace {

// The child of the root window that holds `window`: the window manager's frame around it, or itself.
Window TopLevelOf(Display* display, Window window) {
  for (;;) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count) == 0) return 0;
    if (children != nullptr) XFree(children);
    if (parent == root || parent == 0) return window;
    window = parent;
  }
}

bool Intersects(const XWindowAttributes& a, int x, int y, int width, int height) {
  const int right = a.x + a.width + 2 * a.border_width;
  const int bottom = a.y + a.height + 2 * a.border_width;
  return a.x < x + width && x < right && a.y < y + height && y < bottom;
}

}  // namespace

void X11RoundTrip(Display* display) {
  XSync(display, False);
}

std::vector<unsigned long> X11TopLevels(Display* display, const std::vector<unsigned long>& windows) {
  std::vector<unsigned long> topLevels;
  for (const unsigned long window : windows)
    topLevels.push_back(TopLevelOf(display, window));
  return topLevels;
}

bool X11OthersCover(Display* display, int x, int y, int width, int height,
                    const std::vector<unsigned long>& ownFrames) {
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0) return false;
  // Children come bottom to top: whatever is shown above the lowest of our frames may cover them.
  bool aboveOurs = false;
  bool covered = false;
  for (unsigned int i = 0; i < count && !covered; ++i) {
    const bool ours = std::find(ownFrames.begin(), ownFrames.end(), children[i]) != ownFrames.end();
    if (ours) {
      aboveOurs = true;
      continue;
    }
    if (!aboveOurs) continue;
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, children[i], &attributes) == 0) continue;
    covered = attributes.map_state == IsViewable && attributes.c_class == InputOutput &&
              Intersects(attributes, x, y, width, height);
  }
  if (children != nullptr) XFree(children);
  return covered;
}

}  // namespace mozenta
