#include "atomic_file.h"

#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <random>

namespace mozenta {
namespace {

constexpr int kMaxLinks = 40;  // as the system follows them
// Buffered pieces are handed to writeback in runs of this size, so the final flush finds little left.
constexpr std::uint64_t kWritebackRun = std::uint64_t{8} << 20;

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file `name` stands for: links followed (relative ones from the folder of the link), until a name that
// is no link or does not exist. Returns 0 or errno.
int FollowLinks(std::string name, std::string& target, struct stat& status, bool& exists) {
  for (int hops = 0; hops <= kMaxLinks; ++hops) {
    if (::lstat(name.c_str(), &status) != 0) {
      if (errno != ENOENT) return errno;
      target = name;
      exists = false;
      return 0;
    }
    if (!S_ISLNK(status.st_mode)) {
      target = name;
      exists = true;
      return 0;
    }
    std::string link(PATH_MAX, '\0');
    const ssize_t length = ::readlink(name.c_str(), link.data(), link.size());
    if (length < 0) return errno;
    if (length == 0) return ENOENT;
    if (static_cast<std::size_t>(length) >= link.size()) return ENAMETOOLONG;
    link.resize(static_cast<std::size_t>(length));
    name = link.front() == '/' || name.find('/') == std::string::npos ? link : FolderOf(name) + "/" + link;
  }
  return ELOOP;
}

// ".name.XXXXXX" beside `target`, the name cut (at a character boundary) where the whole would pass the
// longest file name.
std::string TemporaryPattern(const std::string& target) {
  std::string base = BaseOf(target);
  constexpr std::size_t kAdded = 8;  // the dot in front, the dot and six characters after
  if (base.size() + kAdded > NAME_MAX) {
    std::size_t keep = NAME_MAX - kAdded;
    while (keep > 0 && (static_cast<unsigned char>(base[keep]) & 0xC0) == 0x80)
      --keep;
    base.resize(keep);
  }
  const std::size_t slash = target.rfind('/');
  return (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + "." + base + ".";
}

std::string RandomSuffix() {
  static constexpr char kCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937_64 generator{std::random_device{}()};
  std::string suffix(6, ' ');
  for (char& c : suffix)
    c = kCharacters[generator() % (sizeof kCharacters - 1)];
  return suffix;
}

bool Aligned(std::uint64_t value) {
  return value % AtomicFile::kDirectAlignment == 0;
}

}  // namespace

AtomicFile::~AtomicFile() {
  if (state_ == State::kCommitted) {
    Settle();
  } else if (state_ != State::kSettled) {
    Discard();
  }
}

std::string AtomicFile::Folder() const {
  return FolderOf(target_);
}

int AtomicFile::Create(const std::string& fileName) {
  Discard();
  // The C calls would stop at an embedded NUL and create a file of another name.
  if (fileName.find('\0') != std::string::npos || fileName.empty()) return ENOENT;
  struct stat status {};
  bool exists = false;
  if (const int error = FollowLinks(fileName, target_, status, exists)) return error;
  if (exists && S_ISDIR(status.st_mode)) return EISDIR;
  if (exists && !S_ISREG(status.st_mode)) return OpenInPlace();
  return CreateTemporary(exists ? status.st_mode & 07777 : 0, exists, status.st_uid, status.st_gid);
}

int AtomicFile::OpenInPlace() {
  int fd;
  // Without O_NONBLOCK, opening a named pipe would wait for a reader that may never come; with it, a pipe
  // nobody reads fails at once (ENXIO). Writes block again as usual afterwards.
  do {
    fd = ::open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NONBLOCK);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return errno;
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  fd_ = fd;
  inPlace_ = true;
  state_ = State::kOpen;
  return 0;
}

int AtomicFile::CreateTemporary(unsigned mode, bool replacing, unsigned owner, unsigned group) {
  const std::string pattern = TemporaryPattern(target_);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = pattern + RandomSuffix();
    // O_EXCL: never a file that is there already, nor through a link someone put in the temporary's place.
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST || errno == EINTR) continue;
      return errno;
    }
    fd_ = fd;
    temporary_ = std::move(name);
    replacing_ = replacing;
    state_ = State::kOpen;
    if (replacing) {
      // The replaced file's owner where the system lets us keep it, and its permission bits (set after
      // the owner, which may clear some of them).
      if (owner != ::geteuid() || group != ::getegid()) {
        [[maybe_unused]] const int ignored = ::fchown(fd_, owner, group);
      }
      ::fchmod(fd_, mode);
    }
    return 0;
  }
  return EEXIST;
}

void AtomicFile::UseDirectWrites(bool on) {
  if (on == direct_ || (on && directRefused_)) return;
  const int flags = ::fcntl(fd_, F_GETFL);
  if (flags < 0 || ::fcntl(fd_, F_SETFL, on ? flags | O_DIRECT : flags & ~O_DIRECT) != 0) {
    if (on) directRefused_ = true;
    return;
  }
  direct_ = on;
}

int AtomicFile::WriteAll(const void* data, std::size_t size) {
  return WriteAllAt(position_, data, size);
}

int AtomicFile::WriteAllAt(std::uint64_t offset, const void* data, std::size_t size) {
  if (fd_ < 0) return EBADF;
  if (inPlace_ && offset != position_) return ESPIPE;
  position_ = offset;
  const char* p = static_cast<const char*>(data);
  if (!inPlace_) {
    UseDirectWrites(Aligned(offset) && Aligned(size) && Aligned(reinterpret_cast<std::uintptr_t>(p)));
  }
  int error = WriteOut(p, size);
  if (error == EINVAL && direct_) {
    // The file system takes no such pieces past its cache after all: through the cache from here on.
    UseDirectWrites(false);
    directRefused_ = true;
    error = WriteOut(p, size);
  }
  if (error == 0 && !direct_ && !inPlace_) StartWriteback(offset, size);
  return error;
}

int AtomicFile::WriteOut(const char* p, std::size_t size) {
  while (size > 0) {
    const ssize_t written =
        inPlace_ ? ::write(fd_, p, size) : ::pwrite(fd_, p, size, static_cast<off_t>(position_));
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (written == 0) return EIO;  // no progress and no error: give up instead of spinning
    p += written;
    size -= static_cast<std::size_t>(written);
    position_ += static_cast<std::uint64_t>(written);
  }
  return 0;
}

void AtomicFile::StartWriteback(std::uint64_t offset, std::size_t size) {
  const auto start = [this] {
    ::sync_file_range(fd_, static_cast<off_t>(writebackStart_),
                      static_cast<off_t>(writebackEnd_ - writebackStart_), SYNC_FILE_RANGE_WRITE);
  };
  if (offset != writebackEnd_) {
    // Another place in the file: the run so far goes now, a new one starts here.
    if (writebackEnd_ > writebackStart_) start();
    writebackStart_ = offset;
  }
  writebackEnd_ = offset + size;
  if (writebackEnd_ - writebackStart_ < kWritebackRun) return;
  start();
  writebackStart_ = writebackEnd_;
}

int AtomicFile::Finish() {
  if (fd_ < 0) return state_ == State::kOpen ? EBADF : 0;
  const int fd = fd_;
  fd_ = -1;
  int error = 0;
  if (!inPlace_ && ::fsync(fd) != 0) error = errno;
  // The descriptor is gone after close() whatever it returns, so it is never retried (EINTR included).
  if (::close(fd) != 0 && errno != EINTR && error == 0) error = errno;
  if (error == 0) state_ = State::kFinished;
  return error;
}

int AtomicFile::Commit() {
  if (state_ != State::kFinished) return EBADF;
  if (inPlace_) {
    state_ = State::kCommitted;
    return 0;
  }
  // Swapping the names keeps the replaced file under the temporary's name, so that a failure later in
  // the same save can put it back.
  if (replacing_ &&
      ::renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, target_.c_str(), RENAME_EXCHANGE) == 0) {
    swapped_ = true;
  } else {
    if (replacing_ && errno != EINVAL && errno != ENOSYS && errno != ENOENT) return errno;
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) return errno;
    swapped_ = false;
  }
  state_ = State::kCommitted;
  return 0;
}

void AtomicFile::Settle() {
  if (state_ != State::kCommitted) return;
  if (swapped_) ::unlink(temporary_.c_str());
  state_ = State::kSettled;
}

void AtomicFile::Restore() {
  if (state_ != State::kCommitted) {
    Discard();
    return;
  }
  if (!inPlace_) {
    if (swapped_) {
      ::renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, target_.c_str(), RENAME_EXCHANGE);
      ::unlink(temporary_.c_str());
    } else if (!replacing_) {
      ::unlink(target_.c_str());
    }
  }
  state_ = State::kSettled;
}

void AtomicFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty() && (state_ == State::kOpen || state_ == State::kFinished)) {
    ::unlink(temporary_.c_str());
  }
  state_ = State::kNone;
  inPlace_ = replacing_ = swapped_ = direct_ = directRefused_ = false;
  position_ = writebackStart_ = writebackEnd_ = 0;
  temporary_.clear();
}

}  // namespace mozenta
