// A file a save writes from the same walk over the blocks as its two reports, such as the printable sheets.
// The save creates the file (a temporary of its set) after the reports', hands it over, walks the blocks
// with the output as one more visitor, and once the reports are complete lets the output complete its file;
// then it finishes the file, which takes its name with the rest of the set.
#pragma once

#include <string_view>

#include "block_walk.h"
#include "buffered_output.h"

namespace mozenta {

class WalkedOutput : public BlockVisitor {
 public:
  // The file's extension, with its dot.
  virtual std::string_view Extension() const = 0;
  // Writing begins into `file`, before the walk starts.
  virtual void Begin(BufferedOutput& file) = 0;
  // Writes what remains, after the walk and after the reports are complete.
  virtual void Complete() = 0;
};

}  // namespace mozenta
