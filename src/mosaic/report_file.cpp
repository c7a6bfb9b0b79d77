#include "report_file.h"

#include <algorithm>
#include <cstring>

#include "io_error.h"

namespace mozenta {

ReportFile::ReportFile(const std::string& fileName, std::size_t bufferBytes)
    : buffer_(new char[bufferBytes]), capacity_(bufferBytes) {
  if (const int error = file_.Create(fileName)) throw InOutErrorFromErrno(error);
}

void ReportFile::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    if (used_ == capacity_) Flush();
    const std::size_t piece = std::min(bytes.size(), capacity_ - used_);
    std::memcpy(buffer_.get() + used_, bytes.data(), piece);
    used_ += piece;
    bytes.remove_prefix(piece);
  }
}

void ReportFile::Close() {
  Flush();
  if (const int error = file_.Close()) throw InOutErrorFromErrno(error);
}

void ReportFile::Flush() {
  if (used_ == 0) return;
  const std::size_t pending = used_;
  used_ = 0;
  if (const int error = file_.WriteAll(buffer_.get(), pending)) throw InOutErrorFromErrno(error);
}

}  // namespace mozenta
