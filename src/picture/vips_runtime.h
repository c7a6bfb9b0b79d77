// libvips as this program uses it: started on first use, with its caches off and its loaders limited to the
// ones we ask for by name; owned references to its objects; its error text and warnings, which never reach
// the terminal.
#pragma once

#include <vips/vips.h>

#include <memory>
#include <string>

namespace mozenta::vips {

// Starts libvips the first time it is called, from any thread, once: operation cache off, every loader
// blocked except the ones TVipsPicture calls, warnings kept for ErrorText instead of printed. False when
// the library could not start.
bool StartLibrary();

struct ObjectUnref {
  void operator()(void* object) const {
    if (object != nullptr) g_object_unref(object);
  }
};
using ImageRef = std::unique_ptr<VipsImage, ObjectUnref>;

// What libvips reported since the last call: its error buffer and the warnings it logged, one per line.
// Clears both.
std::string TakeErrorText();

}  // namespace mozenta::vips
