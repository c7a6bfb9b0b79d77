// Loading a module's table once, shared by the tables of every module (program_module.h).
#pragma once

#include <mutex>
#include <string>

#include "errors.h"
#include "program_module.h"

namespace mozenta {

// The module's table: `linked` when the implementation is part of the program itself, otherwise the
// entry `entryName` of module `fileName`, loaded the first time (from any thread) and kept. Throws
// Exception when the module cannot be had, or "部品 %s はこのプログラムとは別の版です" when it comes from
// another build.
template <typename Table>
const Table& ModuleTable(const Table* (*linked)(const char*), const char* fileName, const char* entryName) {
  if (linked != nullptr) {
    if (const Table* table = linked(ModuleBuild())) return *table;
  }
  static std::mutex mutex;
  static const Table* table = nullptr;
  const std::lock_guard lock(mutex);
  if (table == nullptr) {
    const auto entry = reinterpret_cast<const Table* (*)(const char*)>(ModuleEntry(fileName, entryName));
    table = entry(ModuleBuild());
    if (table == nullptr) throw Exception(MessageText(MessageId::kModuleOtherBuild, fileName));
  }
  return *table;
}

}  // namespace mozenta
