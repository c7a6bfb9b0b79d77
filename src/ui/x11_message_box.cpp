#include "x11_message_box.h"

#include <X11/Xatom.h>
#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace mozenta {
namespace {

constexpr int kMargin = 12;
constexpr int kTextTop = 16;
constexpr int kButtonWidth = 75, kButtonHeight = 23;
constexpr int kGap = 16;

struct DisplayCloser {
  void operator()(Display* display) const { XCloseDisplay(display); }
};

// A pixel of the default colour map as near to (red, green, blue) as it holds; `fallback` when the map is
// full.
unsigned long AllocatePixel(Display* display, Colormap map, int red, int green, int blue,
                            unsigned long fallback) {
  XColor color{};
  color.red = static_cast<unsigned short>(red * 257);
  color.green = static_cast<unsigned short>(green * 257);
  color.blue = static_cast<unsigned short>(blue * 257);
  color.flags = DoRed | DoGreen | DoBlue;
  return XAllocColor(display, map, &color) ? color.pixel : fallback;
}

int TextWidth(Display* display, XftFont* font, const std::string& text) {
  XGlyphInfo extents{};
  XftTextExtentsUtf8(display, font, reinterpret_cast<const FcChar8*>(text.data()),
                     static_cast<int>(text.size()), &extents);
  return extents.xOff;
}

class MessageWindow {
 public:
  MessageWindow(Display* display, XftFont* font, const std::string& title, const std::string& text,
                const X11MessageBoxLook& look)
      : display_(display), font_(font), text_(text) {
    const int screen = DefaultScreen(display_);
    visual_ = DefaultVisual(display_, screen);
    map_ = DefaultColormap(display_, screen);
    const unsigned long black = BlackPixel(display_, screen), white = WhitePixel(display_, screen);
    face_ = AllocatePixel(display_, map_, look.face[0], look.face[1], look.face[2], white);
    light_ = AllocatePixel(display_, map_, 255, 255, 255, white);
    shadow_ = AllocatePixel(display_, map_, look.face[0] / 2, look.face[1] / 2, look.face[2] / 2, black);
    dark_ = black;

    const int lineHeight = font_->ascent + font_->descent;
    const int textWidth = TextWidth(display_, font_, text_);
    width_ = std::max({textWidth + 2 * kMargin, kButtonWidth + 2 * kMargin, look.minimumWidth});
    height_ = kTextTop + lineHeight + kGap + kButtonHeight + kMargin;
    textLeft_ = (width_ - textWidth) / 2;
    button_ = {(width_ - kButtonWidth) / 2, kTextTop + lineHeight + kGap};

    window_ =
        XCreateSimpleWindow(display_, RootWindow(display_, screen), 0, 0, width_, height_, 0, black, face_);
    SetProperties(title, DisplayWidth(display_, screen), DisplayHeight(display_, screen));
    XSelectInput(display_, window_,
                 ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask);
    gc_ = XCreateGC(display_, window_, 0, nullptr);
    draw_ = XftDrawCreate(display_, window_, visual_, map_);
    XRenderColor textColor{0, 0, 0, 0xFFFF};
    XftColorAllocValue(display_, visual_, map_, &textColor, &textColor_);
  }

  ~MessageWindow() {
    XftColorFree(display_, visual_, map_, &textColor_);
    XftDrawDestroy(draw_);
    XFreeGC(display_, gc_);
    XDestroyWindow(display_, window_);
  }

  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

  // Shows the window and handles its events until the user closes it.
  void Run() {
    XMapRaised(display_, window_);
    bool done = false;
    while (!done) {
      XEvent event;
      XNextEvent(display_, &event);
      switch (event.type) {
        case Expose:
          if (event.xexpose.count == 0) Paint();
          break;
        case KeyPress: {
          const KeySym key = XLookupKeysym(&event.xkey, 0);
          done = key == XK_Return || key == XK_KP_Enter || key == XK_space || key == XK_Escape;
          break;
        }
        case ButtonPress:
          if (event.xbutton.button == Button1 && OnButton(event.xbutton.x, event.xbutton.y)) {
            pressed_ = true;
            Paint();
          }
          break;
        case ButtonRelease:
          if (event.xbutton.button == Button1 && pressed_) {
            pressed_ = false;
            done = OnButton(event.xbutton.x, event.xbutton.y);
            Paint();
          }
          break;
        case ClientMessage:
          done = static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow_;
          break;
        default:
          break;
      }
    }
  }

 private:
  struct Point {
    int x, y;
  };

  Atom Intern(const char* name) { return XInternAtom(display_, name, False); }

  void SetProperties(const std::string& title, int screenWidth, int screenHeight) {
    const Atom utf8 = Intern("UTF8_STRING");
    const auto* titleBytes = reinterpret_cast<const unsigned char*>(title.data());
    XChangeProperty(display_, window_, Intern("_NET_WM_NAME"), utf8, 8, PropModeReplace, titleBytes,
                    static_cast<int>(title.size()));
    XChangeProperty(display_, window_, XA_WM_NAME, utf8, 8, PropModeReplace, titleBytes,
                    static_cast<int>(title.size()));
    const Atom dialog = Intern("_NET_WM_WINDOW_TYPE_DIALOG");
    XChangeProperty(display_, window_, Intern("_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&dialog), 1);
    deleteWindow_ = Intern("WM_DELETE_WINDOW");
    XSetWMProtocols(display_, window_, &deleteWindow_, 1);

    // A fixed size, centred on the screen.
    XSizeHints size{};
    size.flags = PPosition | PMinSize | PMaxSize | PWinGravity;
    size.x = (screenWidth - width_) / 2;
    size.y = (screenHeight - height_) / 2;
    size.min_width = size.max_width = width_;
    size.min_height = size.max_height = height_;
    size.win_gravity = CenterGravity;
    XSetWMNormalHints(display_, window_, &size);
    XMoveWindow(display_, window_, size.x, size.y);
    XWMHints hints{};
    hints.flags = InputHint | StateHint;
    hints.input = True;
    hints.initial_state = NormalState;
    XSetWMHints(display_, window_, &hints);
  }

  bool OnButton(int x, int y) const {
    return x >= button_.x && x < button_.x + kButtonWidth && y >= button_.y && y < button_.y + kButtonHeight;
  }

  void Line(unsigned long pixel, int x1, int y1, int x2, int y2) {
    XSetForeground(display_, gc_, pixel);
    XDrawLine(display_, window_, gc_, x1, y1, x2, y2);
  }

  void DrawText(int x, int baseline, const std::string& text) {
    XftDrawStringUtf8(draw_, &textColor_, font_, x, baseline, reinterpret_cast<const FcChar8*>(text.data()),
                      static_cast<int>(text.size()));
  }

  void Paint() {
    XClearWindow(display_, window_);
    DrawText(textLeft_, kTextTop + font_->ascent, text_);

    // The OK button: the focused default button, with a black outline, raised or pressed in.
    const int left = button_.x, top = button_.y;
    const int right = left + kButtonWidth - 1, bottom = top + kButtonHeight - 1;
    XSetForeground(display_, gc_, dark_);
    XDrawRectangle(display_, window_, gc_, left, top, kButtonWidth - 1, kButtonHeight - 1);
    if (pressed_) {
      XSetForeground(display_, gc_, shadow_);
      XDrawRectangle(display_, window_, gc_, left + 1, top + 1, kButtonWidth - 3, kButtonHeight - 3);
    } else {
      Line(light_, left + 1, top + 1, right - 1, top + 1);
      Line(light_, left + 1, top + 1, left + 1, bottom - 1);
      Line(shadow_, left + 2, bottom - 1, right - 1, bottom - 1);
      Line(shadow_, right - 1, top + 2, right - 1, bottom - 1);
    }
    const std::string ok = "OK";
    const int shift = pressed_ ? 1 : 0;
    const int lineHeight = font_->ascent + font_->descent;
    DrawText(left + (kButtonWidth - TextWidth(display_, font_, ok)) / 2 + shift,
             top + (kButtonHeight - lineHeight) / 2 + font_->ascent + shift, ok);
    // The focus mark, a dotted rectangle inside the button.
    XSetForeground(display_, gc_, dark_);
    XSetLineAttributes(display_, gc_, 1, LineOnOffDash, CapButt, JoinMiter);
    const char dots[] = {1, 1};
    XSetDashes(display_, gc_, 0, dots, 2);
    XDrawRectangle(display_, window_, gc_, left + 4, top + 4, kButtonWidth - 9, kButtonHeight - 9);
    XSetLineAttributes(display_, gc_, 1, LineSolid, CapButt, JoinMiter);
    XFlush(display_);
  }

  Display* display_;
  XftFont* font_;
  std::string text_;
  Visual* visual_;
  Colormap map_;
  unsigned long face_, light_, shadow_, dark_;
  int width_ = 0, height_ = 0, textLeft_ = 0;
  Point button_{};
  Window window_ = 0;
  GC gc_ = nullptr;
  XftDraw* draw_ = nullptr;
  XftColor textColor_{};
  Atom deleteWindow_ = 0;
  bool pressed_ = false;
};

}  // namespace

bool ShowX11MessageBox(Display* shownOn, const std::string& title, const std::string& text,
                       const X11MessageBoxLook& look) {
  // A connection of its own: the events of the toolkit's connection are read by the toolkit.
  const std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(XDisplayString(shownOn)));
  if (display == nullptr) return false;
  // The X Rendering Extension draws glyphs on an indexed visual as solid boxes; the core protocol draws
  // them in the colour map's own pixels.
  if (FcPattern* defaults = FcPatternCreate()) {
    FcPatternAddBool(defaults, XFT_RENDER, FcFalse);
    XftDefaultSet(display.get(), defaults);  // takes the pattern
  }
  XftFont* font = XftFontOpenName(display.get(), DefaultScreen(display.get()), look.fontPattern.c_str());
  if (font == nullptr) return false;
  {
    MessageWindow window(display.get(), font, title, text, look);
    window.Run();
  }
  XftFontClose(display.get(), font);
  return true;
}

}  // namespace mozenta
