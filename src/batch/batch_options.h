// The command line of mozenta-batch: the settings the windows would give, as options.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "mosaic/block_settings.h"
#include "mosaic/conversion_options.h"
#include "mosaic/sheet_stock.h"
#include "picture/picture_fit.h"
#include "sheets/sheet_options.h"

namespace mozenta {

struct BatchColor {
  std::uint8_t red = 0, green = 0, blue = 0;
};

struct BatchOptions {
  std::string picture;  // the picture to load, chosen by its extension; the project's with --project
  std::string name;     // the name the three output files are derived from
  // Projects: the job of a saved project (its picture, settings and edits), and the project to write.
  std::string project;
  std::string saveProject;
  std::int32_t blockWidth = kDefaultBlockWidth;
  std::int32_t blockHeight = kDefaultBlockHeight;
  bool byColumns = false;
  std::array<std::optional<BatchColor>, 8> colors;  // entries 1..7 only
  std::array<bool, 8> disabled{};
  std::array<std::optional<std::string>, 8> labels;
  int bitsPerPixel = 32;
  // Colour choices: the match, the diffusion and its walk, palette files, the sheets on hand.
  ConversionOptions conversion;
  std::string paletteFile;      // loaded before --color and --label apply
  std::string savePaletteFile;  // the palette in force, written as well
  SheetStock stock;
  // The picture: fitted to a size in cells (--size, --fit, --margin), turned upright unless kept as stored.
  FitSettings fit;
  bool keepOrientation = false;

  // The printable sheets: NAME.pdf on this paper, in colour or black-and-white symbols.
  bool pdf = false;
  PageSize page = PageSize::kA4;
  bool symbols = false;
  bool timings = false;
  bool help = false;
  bool version = false;
  // The options the command line gave ("--block-width", …): only these override a project's settings.
  std::set<std::string> given;
  bool Given(const std::string& option) const { return given.count(option) != 0; }
};

// A command line that cannot be run; the message says what is wrong.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Parses the arguments after the program name. Options may come before, between or after the two names
// (one name, NAME, with --project); "--" ends the options. Throws UsageError.
BatchOptions ParseBatchOptions(const std::vector<std::string>& arguments);

// The text of --help.
std::string BatchUsage();

}  // namespace mozenta
