// A report file: bytes collected in a fixed buffer and written out when it fills and at the close. Every
// failure of the create, a write or the close is an EInOutError mapped from the platform's error.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "posix_file.h"

namespace mozenta {

class ReportFile {
 public:
  // Creates `fileName`, replacing an existing file, with a buffer of `bufferBytes`.
  ReportFile(const std::string& fileName, std::size_t bufferBytes);
  // Releases the file without writing out what is still buffered: after a failure the file keeps what
  // had reached it.
  ~ReportFile() = default;

  // Fills the buffer to the brim before each write to the file, so that every write but the last covers
  // whole pages.
  void Write(std::string_view bytes);

  // When `maxBytes` fit in the room left in the buffer, lets `fill(char* at)` put its bytes straight
  // there and keeps the number it returns (at most maxBytes); otherwise does nothing and returns false. Saves
  // a copy for text put together piece by piece.
  template <typename Fill>
  bool WriteInPlace(std::size_t maxBytes, Fill&& fill) {
    if (capacity_ - used_ < maxBytes) return false;
    used_ += fill(buffer_.get() + used_);
    return true;
  }

  // Writes out the buffer and closes the file.
  void Close();

 private:
  void Flush();

  PosixFile file_;
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_;
  std::size_t used_ = 0;
};

}  // namespace mozenta
