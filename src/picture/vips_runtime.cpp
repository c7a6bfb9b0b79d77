#include "vips_runtime.h"

#include <mutex>

namespace mozenta::vips {
namespace {

// Warnings come from the pipeline's worker threads as well as from the caller's.
std::mutex warningsMutex;
std::string warnings;
constexpr std::size_t kMaxWarningBytes = 4096;

void KeepWarning(const gchar*, GLogLevelFlags level, const gchar* message, gpointer) {
  if (level & (G_LOG_LEVEL_INFO | G_LOG_LEVEL_DEBUG)) return;  // the library's chatter
  const std::lock_guard lock(warningsMutex);
  if (message != nullptr && warnings.size() < kMaxWarningBytes) {
    warnings += message;
    warnings += '\n';
  }
}

// The loaders TVipsPicture calls; every other one stays blocked, so no file can reach a loader we did not
// choose for it (libvips otherwise picks one by the content).
constexpr const char* kAllowedLoaders[] = {"VipsForeignLoadPngSource",   "VipsForeignLoadSpngSource",
                                           "VipsForeignLoadNsgifSource", "VipsForeignLoadTiffSource",
                                           "VipsForeignLoadWebpSource",  "VipsForeignLoadHeifSource"};

bool Start() {
  g_log_set_handler("VIPS", static_cast<GLogLevelFlags>(G_LOG_LEVEL_MASK | G_LOG_FLAG_RECURSION), KeepWarning,
                    nullptr);
  if (VIPS_INIT("mozenta") != 0) return false;
  // One picture is open at a time and read once: nothing is worth caching.
  vips_cache_set_max(0);
  vips_cache_set_max_mem(0);
  vips_cache_set_max_files(0);
  vips_block_untrusted_set(TRUE);
  vips_operation_block_set("VipsForeignLoad", TRUE);
  for (const char* loader : kAllowedLoaders)
    vips_operation_block_set(loader, FALSE);
  return true;
}

}  // namespace

bool StartLibrary() {
  static const bool started = Start();  // thread-safe, once
  return started;
}

std::string TakeErrorText() {
  std::string text = vips_error_buffer();
  vips_error_clear();
  const std::lock_guard lock(warningsMutex);
  text += warnings;
  warnings.clear();
  return text;
}

}  // namespace mozenta::vips
