#include "program_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <string_view>
#include <vector>

#include "errors.h"

namespace mozenta {
namespace {

// The folder of the running program, from the kernel's link to its file; empty when it cannot be read.
std::string ProgramFolder() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || !program.is_absolute()) return {};
  return program.parent_path().string();
}

[[noreturn]] void Unusable(const std::string& place) {
  const char* reason = ::dlerror();
  throw Exception(MessageText(MessageId::kModuleUnusable, place, reason != nullptr ? reason : "?"));
}

// Where module `fileName` is looked for, in order, for a program in `programFolder`: beside it, then in its
// library folder.
std::vector<std::string> ModulePlaces(const std::string& programFolder, std::string_view fileName) {
  const std::filesystem::path folder(programFolder);
  return {(folder / fileName).string(),
          (folder / MOZENTA_MODULE_DIR_FROM_PROGRAM / fileName).lexically_normal().string()};
}

}  // namespace

void* ModuleEntry(const std::string& fileName, const char* entry) {
  const std::string folder = ProgramFolder();
  // Without the program's own folder a relative name would send the loader down its search path.
  if (folder.empty()) throw Exception(MessageText(MessageId::kModuleMissing, fileName));
  const std::vector<std::string> places = ModulePlaces(folder, fileName);
  for (const std::string& place : places) {
    if (::access(place.c_str(), F_OK) != 0) continue;
    void* module = ::dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (module == nullptr) Unusable(place);
    void* address = ::dlsym(module, entry);
    if (address == nullptr) Unusable(place);
    return address;
  }
  throw Exception(MessageText(MessageId::kModuleMissing, places.back()));
}

const char* ModuleBuild() {
  return MOZENTA_MODULE_BUILD;
}

}  // namespace mozenta
