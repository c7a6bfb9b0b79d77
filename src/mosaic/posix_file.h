// A file opened for writing with POSIX calls: every file the program writes is created here. Failures come
// back as errno values, so each writer maps them onto its own errors; nothing here throws.
#pragma once

#include <cstddef>
#include <string>

namespace mozenta {

class PosixFile {
 public:
  PosixFile() = default;
  ~PosixFile();  // closes the file, ignoring any error
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  // Creates `fileName` for writing, replacing the content of an existing file. Returns 0 or errno.
  int Create(const std::string& fileName);

  // Writes all `size` bytes, continuing after partial writes and interruptions. Returns 0 or errno.
  int WriteAll(const void* data, std::size_t size);

  // Closes the file; the descriptor is released also when the close reports an error. Returns 0 or errno.
  int Close();

 private:
  int fd_ = -1;
};

}  // namespace mozenta
