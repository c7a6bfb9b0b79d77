#include "djpeg_reference.h"

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace mozenta::testing {
namespace {

namespace fs = std::filesystem;

std::uint32_t Little(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i)
    value = (value << 8) | b.at(at + static_cast<std::size_t>(i));
  return value;
}

std::vector<std::uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The 8-bit (colour table) and 24-bit bottom-up BMP files that djpeg writes.
DecodedPicture ParseDjpegBmp(const std::vector<std::uint8_t>& b) {
  DecodedPicture picture;
  const std::size_t pixelOffset = Little(b, 10, 4);
  picture.width = static_cast<int>(Little(b, 18, 4));
  picture.height = static_cast<int>(Little(b, 22, 4));
  picture.bitsPerPixel = static_cast<int>(Little(b, 28, 2));
  if (picture.bitsPerPixel != 8 && picture.bitsPerPixel != 24)
    throw std::runtime_error("unexpected djpeg BMP depth");
  std::size_t tableSize = Little(b, 46, 4);
  if (picture.bitsPerPixel == 8 && tableSize == 0) tableSize = 256;
  const std::size_t stride = (static_cast<std::size_t>(picture.width) * picture.bitsPerPixel / 8 + 3) / 4 * 4;
  picture.colours.reserve(static_cast<std::size_t>(picture.width) * picture.height);
  for (int y = 0; y < picture.height; ++y) {
    const std::size_t row = pixelOffset + static_cast<std::size_t>(picture.height - 1 - y) * stride;
    for (int x = 0; x < picture.width; ++x) {
      std::size_t at = row + static_cast<std::size_t>(x) * 3;
      if (picture.bitsPerPixel == 8) {
        const std::size_t index = b.at(row + static_cast<std::size_t>(x));
        if (index >= tableSize) throw std::runtime_error("djpeg BMP index beyond its table");
        at = 54 + index * 4;
      }
      picture.colours.push_back(b.at(at + 2) | (b.at(at + 1) << 8) | (b.at(at) << 16));
    }
  }
  return picture;
}

std::string Quoted(const std::string& text) {
  std::string quoted(1, '\'');
  quoted.append(text).push_back('\'');
  return quoted;
}

fs::path ScratchPath(const char* suffix) {
  static std::atomic<int> counter{0};
  return fs::temp_directory_path() /
         ("mozenta-djpeg-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + suffix);
}

}  // namespace

DecodedPicture PixelsOf(const TBitmap& bitmap) {
  DecodedPicture picture;
  picture.width = bitmap.Width();
  picture.height = bitmap.Height();
  picture.bitsPerPixel = bitmap.BitsPerPixel();
  picture.colours.resize(static_cast<std::size_t>(picture.width) * picture.height);
  for (int y = 0; y < picture.height; ++y)
    bitmap.ReadRow(y, 0, picture.width, picture.colours.data() + static_cast<std::size_t>(y) * picture.width);
  return picture;
}

std::string DjpegPath() {
  const std::string configured = MOZENTA_DJPEG_PATH;
  if (!configured.empty() && fs::exists(configured)) return configured;
  for (const char* candidate : {"/usr/bin/djpeg", "/usr/local/bin/djpeg"})
    if (fs::exists(candidate)) return candidate;
  return {};
}

std::optional<DecodedPicture> DecodeWithDjpeg(std::span<const std::uint8_t> jpeg,
                                              const std::vector<std::string>& extraArguments) {
  const fs::path input = ScratchPath(".jpg");
  const fs::path output = ScratchPath(".bmp");
  {
    std::ofstream out(input, std::ios::binary);
    out.write(reinterpret_cast<const char*>(jpeg.data()), static_cast<std::streamsize>(jpeg.size()));
  }
  std::string command = Quoted(DjpegPath());
  command.append(" -dct float");
  for (const std::string& argument : extraArguments)
    command.append(" ").append(argument);
  command.append(" -bmp -outfile ").append(Quoted(output.string()));
  command.append(" ").append(Quoted(input.string())).append(" 2>/dev/null");
  const int status = std::system(command.c_str());
  std::optional<DecodedPicture> result;
  // djpeg exits with 2 when the library warned but the picture was written.
  if (status != -1 && WIFEXITED(status) && (WEXITSTATUS(status) == 0 || WEXITSTATUS(status) == 2))
    result = ParseDjpegBmp(ReadAll(output));
  std::error_code ignored;
  fs::remove(input, ignored);
  fs::remove(output, ignored);
  return result;
}

std::vector<std::uint8_t> ReadTestData(const std::string& relativePath) {
  return ReadAll(fs::path(MOZENTA_TEST_DATA_DIR) / relativePath);
}

}  // namespace mozenta::testing
