// An output file that takes its name's place only when it is complete. The bytes go to a temporary beside
// the file the name stands for (".name.txt.XXXXXX", created new with the permission bits 0666 less the
// umask, or those of the file it replaces), are flushed to the disk and only then renamed over the name: a
// full disk, a crash or a kill on the way leaves the previous file as it was. A name that is a symbolic link
// (or a chain of them) replaces the file the link leads to and keeps the link. Failures come back as errno
// values, so each writer maps them onto its own errors; nothing here throws.
//
// A name that stands for something other than a regular file (a device such as /dev/null, a named pipe)
// holds no file to keep: it is opened and written in place, as before.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace mozenta {

class AtomicFile {
 public:
  AtomicFile() = default;
  ~AtomicFile();  // closes the file and removes the temporary unless it was put in place
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Creates the temporary for `fileName`. A folder in the name's place gives EISDIR; a temporary that the
  // folder refuses gives that error (ENOENT for a missing folder, EACCES, EROFS, ENOSPC…). Returns 0 or
  // errno.
  int Create(const std::string& fileName);

  // Writes all `size` bytes, continuing after partial writes and interruptions. Pieces that start at a
  // multiple of kDirectAlignment in the file, from memory so aligned, with such a length, go to the disk
  // without passing the page cache where the file system allows it: a large file then costs no fresh
  // memory and its final flush has little left to do. Other pieces are written through the cache, and
  // their writeback is started as they are written. Returns 0 or errno.
  int WriteAll(const void* data, std::size_t size);
  // The same at `offset` in the file, for a file written out of order (Positional() only). Writing the end
  // first sets the file's size at once; the bytes between stay zero until written.
  int WriteAllAt(std::uint64_t offset, const void* data, std::size_t size);
  // A file of our own can be written at any offset; one written in place (a device, a pipe) only in turn.
  bool Positional() const { return fd_ >= 0 && !inPlace_; }

  // Flushes the file's bytes to the disk and closes it; nothing has its name yet. The descriptor is
  // released also on failure. Returns 0 or errno.
  int Finish();

  // Puts the finished file in its name's place. The file it replaces is kept under the temporary's name
  // until Settle or Restore (when the file system can swap two names in one step; otherwise it is
  // replaced at once). Returns 0 or errno.
  int Commit();
  // After every file of a save is in place: removes the replaced file kept by Commit.
  void Settle();
  // After a later file of the same save failed: puts the replaced file back (or removes the new one where
  // there was none) and removes the temporary.
  void Restore();

  // Closes the file and removes the temporary; a written-in-place file stays as it is.
  void Discard();

  // The folder that holds the file the name stands for, once links are followed.
  std::string Folder() const;
  // Empty for a file written in place.
  const std::string& TemporaryName() const { return temporary_; }

  static constexpr std::size_t kDirectAlignment = 4096;

 private:
  enum class State { kNone, kOpen, kFinished, kCommitted, kSettled };

  int OpenInPlace();
  int CreateTemporary(unsigned mode, bool replacing, unsigned owner, unsigned group);
  void UseDirectWrites(bool on);
  int WriteOut(const char* data, std::size_t size);
  void StartWriteback(std::uint64_t offset, std::size_t size);

  int fd_ = -1;
  State state_ = State::kNone;
  bool inPlace_ = false;
  bool replacing_ = false;  // an existing file has the name
  bool swapped_ = false;    // Commit swapped the names: the replaced file has the temporary's name
  bool direct_ = false;     // the descriptor writes past the page cache
  bool directRefused_ = false;
  std::uint64_t position_ = 0;  // where the next piece goes
  // The run of pieces written through the cache whose writeback has not been started: [start, end).
  std::uint64_t writebackStart_ = 0;
  std::uint64_t writebackEnd_ = 0;
  std::string target_;
  std::string temporary_;
};

}  // namespace mozenta
