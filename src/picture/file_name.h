// File-name rules shared by picture loading and the save command. Names are UTF-8; the separators are the
// platform's ("/" here), and Windows-style names use "\" and ":". In UTF-8 every byte of a multi-byte
// character is 0x80 or above, so no part of a character is ever taken for ".", "/", "\" or ":".
#pragma once

#include <string>
#include <string_view>

namespace mozenta {

inline constexpr std::string_view kPlatformSeparators = "/";
inline constexpr std::string_view kWindowsSeparators = "\\:";

// Position of the dot that starts the extension of the file name proper, or npos: the last ".", separator
// or drive colon decides, and only a "." there starts an extension.
std::size_t ExtensionDot(std::string_view fileName, std::string_view separators = kPlatformSeparators);

// The extension without its dot, in the letter case of the name; empty when there is none.
std::string FileExtension(std::string_view fileName, std::string_view separators = kPlatformSeparators);

// The file name proper without its folder and its extension: "stand/east.txt" gives "east".
std::string FileStem(std::string_view fileName, std::string_view separators = kPlatformSeparators);

}  // namespace mozenta
