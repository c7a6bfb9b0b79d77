#include "sha256_file.h"

#include <fcntl.h>
#include <nettle/sha2.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <vector>

namespace mozenta {

std::optional<std::string> FileSha256(const std::string& fileName) {
  const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  sha256_ctx checksum;
  sha256_init(&checksum);
  std::vector<unsigned char> buffer(1 << 20);
  bool failed = false;
  while (true) {
    const ssize_t got = ::read(fd, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) failed = true;
    if (got <= 0) break;
    sha256_update(&checksum, static_cast<std::size_t>(got), buffer.data());
  }
  ::close(fd);
  if (failed) return std::nullopt;
  std::uint8_t digest[SHA256_DIGEST_SIZE];
  sha256_digest(&checksum, sizeof digest, digest);
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (const std::uint8_t byte : digest) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
  }
  return text;
}

}  // namespace mozenta
