#include "output_set.h"

#include <fcntl.h>
#include <unistd.h>

#include <set>
#include <string>
#include <thread>

namespace mozenta {
namespace {

// The renames are durable once the folder itself is flushed; a folder that cannot be is left to the system.
void FlushFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

AtomicFile& OutputSet::Add() {
  files_.push_back(std::make_unique<AtomicFile>());
  return *files_.back();
}

OutputSet::CommitFailure OutputSet::Commit() {
  for (std::size_t i = 0; i < files_.size(); ++i) {
    if (const int error = files_[i]->Commit()) {
      for (std::size_t j = 0; j < files_.size(); ++j)
        files_[j]->Restore();
      return {files_[i].get(), error};
    }
  }
  std::set<std::string> folders;
  for (const auto& file : files_) {
    if (!file->TemporaryName().empty()) folders.insert(file->Folder());
  }
  for (const std::string& folder : folders)
    FlushFolder(folder);
  // Removing a large replaced file takes the file system a while: the members are removed side by side.
  std::vector<std::thread> settling;
  for (std::size_t i = 1; i < files_.size(); ++i)
    settling.emplace_back([file = files_[i].get()] { file->Settle(); });
  if (!files_.empty()) files_.front()->Settle();
  for (std::thread& thread : settling)
    thread.join();
  return {};
}

}  // namespace mozenta
