// Parts of the program kept in modules of their own, loaded when a job first needs them: mozenta-vips.so
// (pictures read and resampled through libvips) and mozenta-pdf.so (the printable sheets, drawn with cairo
// and pango). A start, and a BMP or JPEG job, then bind none of those libraries. A module is looked for
// beside the running program (the build tree) and then in the program's own library folder
// (`${libdir}/mozenta`, found from the program's folder), both from the program's own path as the kernel
// gives it, never from the current folder or the environment. A module once loaded stays.
#pragma once

#include <string>

namespace mozenta {

// The address of the function `entry` of module `fileName`, which is loaded on the first call (the caller
// keeps what it needs from it). Throws Exception "部品 %s が見つかりません" naming the last place looked at
// when the module is in none, and "部品 %s を読み込めません (%s)" with the loader's reason when it is there
// but cannot be loaded (broken, a library it needs missing, without the entry).
void* ModuleEntry(const std::string& fileName, const char* entry);

// The build a module must come from: a module's entry gives its table only to a program of its own build.
const char* ModuleBuild();

}  // namespace mozenta
