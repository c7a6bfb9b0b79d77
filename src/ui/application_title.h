// The application title: the caption of the program's message boxes.
#pragma once

#include <string>
#include <string_view>

namespace mozenta {

// The program file's name (the part after the last "/") up to its first full stop, every ASCII letter after
// the first in lower case: "/opt/MOZENTA.EXE" gives "Mozenta".
std::string ApplicationTitle(std::string_view programPath);

}  // namespace mozenta
