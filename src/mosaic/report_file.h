// A report file: bytes collected in a fixed buffer and written out when it fills and at the close. Every
// failure of the create, a write or the close is an EInOutError mapped from the platform's error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "posix_file.h"

namespace mozenta {

class ReportFile {
 public:
  // Bytes past the reserved ones that a writer may scribble on (see Reserve).
  static constexpr std::size_t kSlackBytes = 8;

  // Creates `fileName`, replacing an existing file, with a buffer of `bufferBytes`.
  ReportFile(const std::string& fileName, std::size_t bufferBytes);
  // Releases the file without writing out what is still buffered: after a failure the file keeps what
  // had reached it.
  ~ReportFile() = default;

  void Write(std::string_view bytes);
  void WriteNumber(std::int64_t value);
  void WriteLineEnd() { Write("\r\n"); }

  // Room for `bytes` bytes (at most the buffer's size) in the buffer, plus kSlackBytes after them that may be
  // overwritten and are dropped. Writes out the buffer first when the room is not free.
  char* Reserve(std::size_t bytes);
  // Keeps what was written from the reserved pointer up to `end`.
  void Commit(char* end) { used_ = static_cast<std::size_t>(end - buffer_.get()); }

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
