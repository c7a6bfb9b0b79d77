// The files of one save, put in place together. Each member is written to its temporary and finished;
// only then are they renamed into place, one after another in the order they were added. When any member
// fails, or the set is dropped before its commit, every temporary is removed and every previous file is
// left byte for byte as it was.
#pragma once

#include <memory>
#include <vector>

#include "atomic_file.h"

namespace mozenta {

class OutputSet {
 public:
  // A new member, not yet created: Create it, write it and Finish it before the set's Commit.
  AtomicFile& Add();

  struct CommitFailure {
    const AtomicFile* file = nullptr;  // the member that could not be put in place; nullptr on success
    int errnum = 0;
  };
  // Puts every member in place in order and flushes the folders' new entries to the disk. When a member
  // cannot be put in place, the members before it are put back as they were.
  CommitFailure Commit();

 private:
  std::vector<std::unique_ptr<AtomicFile>> files_;
};

}  // namespace mozenta
