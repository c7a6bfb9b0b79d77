#include "sha256_file.h"

#include <fcntl.h>
#include <glib.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <vector>

namespace mozenta {

std::optional<std::string> FileSha256(const std::string& fileName) {
  const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  const std::unique_ptr<GChecksum, decltype(&g_checksum_free)> checksum(g_checksum_new(G_CHECKSUM_SHA256),
                                                                        &g_checksum_free);
  std::vector<unsigned char> buffer(1 << 20);
  bool failed = false;
  while (true) {
    const ssize_t got = ::read(fd, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) failed = true;
    if (got <= 0) break;
    g_checksum_update(checksum.get(), buffer.data(), got);
  }
  ::close(fd);
  if (failed) return std::nullopt;
  return std::string(g_checksum_get_string(checksum.get()));
}

}  // namespace mozenta
