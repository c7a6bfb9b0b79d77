#include "buffered_output.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace mozenta {
namespace {

char* AlignedBuffer(std::size_t bytes) {
  auto* buffer = static_cast<char*>(std::aligned_alloc(AtomicFile::kDirectAlignment, bytes));
  if (buffer == nullptr) throw std::bad_alloc();
  return buffer;
}

}  // namespace

BufferedOutput::BufferedOutput(AtomicFile& file, std::size_t bufferBytes, FailureHandler fail,
                               bool writeBehind)
    : file_(file), fail_(fail), capacity_(bufferBytes) {
  buffers_[0].reset(AlignedBuffer(bufferBytes));
  filling_ = buffers_[0].get();
  if (writeBehind) {
    buffers_[1].reset(AlignedBuffer(bufferBytes));
    writer_ = std::thread([this] { WriterLoop(); });
  }
}

BufferedOutput::~BufferedOutput() {
  if (!writer_.joinable()) return;
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  writer_.join();
}

void BufferedOutput::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    if (used_ == capacity_) Flush();
    const std::size_t piece = std::min(bytes.size(), capacity_ - used_);
    std::memcpy(filling_ + used_, bytes.data(), piece);
    used_ += piece;
    bytes.remove_prefix(piece);
  }
}

void BufferedOutput::Close() {
  Flush();
  WaitForWriter();
  if (const int error = file_.Finish()) fail_(error);
}

void BufferedOutput::Seek(std::uint64_t offset) {
  Flush();
  position_ = offset;
}

void BufferedOutput::Flush() {
  if (used_ == 0) return;
  const std::size_t size = used_;
  const std::uint64_t offset = position_;
  used_ = 0;
  position_ += size;
  if (!writer_.joinable()) {
    if (const int error = file_.WriteAllAt(offset, filling_, size)) fail_(error);
    return;
  }
  WaitForWriter();
  {
    const std::lock_guard lock(mutex_);
    pending_ = filling_;
    pendingSize_ = size;
    pendingOffset_ = offset;
  }
  changed_.notify_all();
  filling_ = filling_ == buffers_[0].get() ? buffers_[1].get() : buffers_[0].get();
}

void BufferedOutput::WaitForWriter() {
  if (!writer_.joinable()) return;
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return pending_ == nullptr; });
  if (const int error = writerError_) {
    lock.unlock();
    fail_(error);
  }
}

void BufferedOutput::WriterLoop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return pending_ != nullptr || stopping_; });
    if (stopping_) return;
    const char* data = pending_;
    const std::size_t size = pendingSize_;
    const std::uint64_t offset = pendingOffset_;
    lock.unlock();
    // After a failure nothing more reaches the file; the error waits for the filling thread.
    const int error = writerError_ == 0 ? file_.WriteAllAt(offset, data, size) : 0;
    lock.lock();
    if (error != 0) writerError_ = error;
    pending_ = nullptr;
    changed_.notify_all();
  }
}

}  // namespace mozenta
