// Text handed to pango and cairo must be UTF-8: labels from the command line and file names may be any
// bytes.
#pragma once

#include <string>
#include <string_view>

namespace mozenta {

// `text` with every byte sequence that is not UTF-8 replaced by U+FFFD.
std::string ValidUtf8(std::string_view text);

}  // namespace mozenta
