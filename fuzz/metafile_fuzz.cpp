// Feeds arbitrary bytes to the metafile reader, enhanced and placeable alike.
#include <cstdint>
#include <vector>

#include "picture/errors.h"
#include "picture/input_file.h"
#include "picture/metafile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mozenta;
  InputFile file = InputFile::FromBytes(std::vector<std::uint8_t>(data, data + size));
  TMetafile metafile;
  try {
    metafile.LoadFromFile(file);
  } catch (const Exception&) {
  }
  return 0;
}
