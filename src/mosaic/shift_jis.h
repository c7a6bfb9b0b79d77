// UTF-8 text in its Shift_JIS form (code page 932), for bytes that leave the program in a report file.
#pragma once

#include <string>
#include <string_view>

namespace mozenta {

// A character without a Shift_JIS form becomes "?", and so does every byte that does not belong to a
// well-formed UTF-8 character. Throws Exception when the system has no converter for code page 932.
std::string Utf8ToShiftJis(std::string_view utf8);

}  // namespace mozenta
