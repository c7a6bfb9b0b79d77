// InputFile: a file opened for reading by a picture reader. It reads from an open descriptor, or from bytes
// already in memory (pictures built in tests, fuzzing input), through the same interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pixel_store.h"

namespace mozenta {

// No file is copied into memory beyond this size (icons, metafiles, compressed picture data).
inline constexpr std::uint64_t kMaxInMemoryFileBytes = std::uint64_t{1} << 30;

class InputFile {
 public:
  // Opens `fileName` for reading. Throws EFOpenError "ファイル %s は開けません" with the name as passed.
  explicit InputFile(const std::string& fileName);
  // A file whose content is `bytes`.
  static InputFile FromBytes(std::vector<std::uint8_t> bytes);

  ~InputFile();
  InputFile(InputFile&& other) noexcept;
  InputFile& operator=(InputFile&& other) noexcept;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  std::uint64_t Size() const { return size_; }
  std::uint64_t Position() const { return position_; }
  std::uint64_t Remaining() const { return position_ < size_ ? size_ - position_ : 0; }
  // Moves the read position; a position past the end reads nothing.
  void Seek(std::uint64_t position) { position_ = position; }

  // Reads up to `count` bytes; fewer only at the end of the file. Throws EReadError when the system
  // reports a read failure.
  std::size_t Read(void* buffer, std::size_t count);
  // Reads exactly `count` bytes, or throws EReadError "ストリームからの読み込みエラー" when the file ends
  // first.
  void ReadExact(void* buffer, std::size_t count);
  // Reads at most `limit` bytes from the position (all that is left by default) into a new vector. Throws
  // EStreamError "メモリストリームの拡大中にメモリが足りなくなりました" when the vector cannot be had or
  // would exceed kMaxInMemoryFileBytes.
  std::vector<std::uint8_t> ReadToVector(std::uint64_t limit = UINT64_MAX);

  // Whether a reader may keep pixels in the file's own pages (ViewPixels) rather than copy them. Off unless
  // the opener allows it: a view lives as long as the picture, and a file cut short meanwhile by another
  // program would make reading its pages fail hard; a job that reads a picture once takes that risk.
  void AllowViews(bool allowed) { viewsAllowed_ = allowed; }
  // `size` bytes from `offset` as a read-only pixel store, when views are allowed, the file is a
  // descriptor and holds them all; otherwise nullptr (the reader then reads them).
  std::shared_ptr<PixelStore> ViewPixels(std::uint64_t offset, std::size_t size) const;

 private:
  InputFile() = default;
  void Close();

  int fd_ = -1;
  std::vector<std::uint8_t> memory_;  // the content when fd_ < 0
  std::uint64_t size_ = 0;
  std::uint64_t position_ = 0;
  bool viewsAllowed_ = false;
};

}  // namespace mozenta
