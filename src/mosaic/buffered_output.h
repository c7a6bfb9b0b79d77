// An output file written through a fixed buffer: bytes are collected and written out when the buffer fills
// and at the close. The buffer is aligned and every write but the last covers it whole, so the file's
// large pieces can go past the page cache (see AtomicFile). With write-behind, a thread of the file's own
// writes one buffer out while the next one fills. A failing write or close goes to the failure handler the
// writer gives, which throws the writer's own error.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>

#include "atomic_file.h"

namespace mozenta {

class BufferedOutput {
 public:
  // Throws; receives the errno of the failure.
  using FailureHandler = void (*)(int errnum);

  // Writes to `file`, already created, with a buffer of `bufferBytes`, a multiple of
  // AtomicFile::kDirectAlignment (two of them with `writeBehind`).
  BufferedOutput(AtomicFile& file, std::size_t bufferBytes, FailureHandler fail, bool writeBehind = false);
  // Writes nothing more: after a failure the file is removed with its set.
  ~BufferedOutput();
  BufferedOutput(const BufferedOutput&) = delete;
  BufferedOutput& operator=(const BufferedOutput&) = delete;

  // Fills the buffer to the brim before each write to the file, so that every write but the last covers
  // the whole buffer.
  void Write(std::string_view bytes);
  void Write(const void* data, std::size_t size) {
    Write(std::string_view(static_cast<const char*>(data), size));
  }

  // When `maxBytes` fit in the room left in the buffer, lets `fill(char* at)` put its bytes straight
  // there and keeps the number it returns (at most maxBytes); otherwise does nothing and returns false. Saves
  // a copy for bytes put together piece by piece.
  template <typename Fill>
  bool WriteInPlace(std::size_t maxBytes, Fill&& fill) {
    if (capacity_ - used_ < maxBytes) return false;
    used_ += fill(filling_ + used_);
    return true;
  }

  // Writes out what the buffer holds; the next bytes go to `offset` in the file, which must be
  // Positional(). Offsets that are multiples of the buffer's size keep every full buffer going past the
  // page cache.
  void Seek(std::uint64_t offset);
  bool Positional() const { return file_.Positional(); }

  // Writes out the buffer and finishes the file: flushed to the disk and closed, not yet in its place.
  void Close();

 private:
  struct FreeBuffer {
    void operator()(char* p) const { std::free(p); }
  };
  using Buffer = std::unique_ptr<char, FreeBuffer>;

  void Flush();
  // Waits until the write-behind thread has written what it was given; hands on its error.
  void WaitForWriter();
  void WriterLoop();

  AtomicFile& file_;
  FailureHandler fail_;
  std::size_t capacity_;
  Buffer buffers_[2];
  char* filling_;  // the buffer being filled
  std::size_t used_ = 0;
  std::uint64_t position_ = 0;  // where in the file the buffer's first byte goes

  // Write-behind: the piece the thread writes, and its result.
  std::mutex mutex_;
  std::condition_variable changed_;
  const char* pending_ = nullptr;
  std::size_t pendingSize_ = 0;
  std::uint64_t pendingOffset_ = 0;
  int writerError_ = 0;
  bool stopping_ = false;
  std::thread writer_;  // last: it starts when everything else is in place
};

}  // namespace mozenta
