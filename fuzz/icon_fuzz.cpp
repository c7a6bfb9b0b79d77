// Feeds arbitrary bytes to the icon reader.
#include <cstdint>
#include <vector>

#include "picture/errors.h"
#include "picture/icon.h"
#include "picture/input_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mozenta;
  InputFile file = InputFile::FromBytes(std::vector<std::uint8_t>(data, data + size));
  TIcon icon;
  try {
    icon.LoadFromFile(file);
  } catch (const Exception&) {
  }
  return 0;
}
