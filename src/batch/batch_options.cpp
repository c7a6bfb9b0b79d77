#include "batch_options.h"

#include <charconv>
#include <limits>
#include <string_view>

namespace mozenta {
namespace {

// A whole decimal number in first..last, or a UsageError naming the option.
int ParseNumber(std::string_view text, int first, int last, const std::string& what) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || ptr != end || value < first || value > last) {
    throw UsageError(what + ": expected a whole number from " + std::to_string(first) + " to " +
                     std::to_string(last) + ", got \"" + std::string(text) + "\"");
  }
  return value;
}

// Splits "I=VALUE" into the entry number and the value.
std::pair<int, std::string> ParseEntryAssignment(const std::string& text, int first,
                                                 const std::string& what) {
  const std::size_t equals = text.find('=');
  if (equals == std::string::npos) {
    throw UsageError(what + ": expected I=VALUE, got \"" + text + "\"");
  }
  return {ParseNumber(std::string_view(text).substr(0, equals), first, 7, what + " entry"),
          text.substr(equals + 1)};
}

BatchColor ParseColor(const std::string& text, const std::string& what) {
  int channels[3];
  std::size_t start = 0;
  for (int c = 0; c < 3; ++c) {
    const std::size_t comma = c < 2 ? text.find(',', start) : text.size();
    if (comma == std::string::npos) throw UsageError(what + ": expected R,G,B, got \"" + text + "\"");
    channels[c] = ParseNumber(std::string_view(text).substr(start, comma - start), 0, 255, what);
    start = comma + 1;
  }
  return {static_cast<std::uint8_t>(channels[0]), static_cast<std::uint8_t>(channels[1]),
          static_cast<std::uint8_t>(channels[2])};
}

// The choice `text` names, or a UsageError listing the names.
template <typename Choice, std::size_t N>
Choice ParseChoice(const std::string& text, const std::pair<const char*, Choice> (&names)[N],
                   const std::string& what) {
  std::string list;
  for (const auto& [name, choice] : names) {
    if (text == name) return choice;
    if (!list.empty()) list += '|';
    list += name;
  }
  throw UsageError(what + ": expected " + list + ", got \"" + text + "\"");
}

constexpr std::pair<const char*, ColorMatch> kMatches[] = {{"classic", ColorMatch::kClassic},
                                                           {"perceptual", ColorMatch::kPerceptual}};
constexpr std::pair<const char*, Diffusion> kDiffusions[] = {{"classic", Diffusion::kClassic},
                                                             {"floyd-steinberg", Diffusion::kFloydSteinberg},
                                                             {"atkinson", Diffusion::kAtkinson},
                                                             {"sierra-lite", Diffusion::kSierraLite},
                                                             {"none", Diffusion::kNone}};
// "WxH" (or "WXH") into the fit settings' size.
void ParseSize(const std::string& text, const std::string& what, FitSettings& fit) {
  const std::size_t cross = text.find_first_of("xX");
  if (cross == std::string::npos) throw UsageError(what + ": expected WxH, got \"" + text + "\"");
  fit.width = ParseNumber(std::string_view(text).substr(0, cross), 1, kMaxFitWidth, what + " width");
  fit.height = ParseNumber(std::string_view(text).substr(cross + 1), 1, kMaxFitHeight, what + " height");
  fit.keepSize = false;
}

constexpr std::pair<const char*, FitMode> kFitModes[] = {
    {"stretch", FitMode::kStretch}, {"cover", FitMode::kCover}, {"contain", FitMode::kContain}};
constexpr std::pair<const char*, PageSize> kPages[] = {
    {"a4", PageSize::kA4}, {"a3", PageSize::kA3}, {"letter", PageSize::kLetter}};

}  // namespace

BatchOptions ParseBatchOptions(const std::vector<std::string>& arguments) {
  BatchOptions options;
  std::vector<std::string> names;
  bool optionsEnded = false;
  std::string sheetOption;  // the last option that only means something with --pdf
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string argument = arguments[i];
    if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
      names.push_back(argument);
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    std::optional<std::string> inlineValue;
    if (const std::size_t equals = argument.find('=');
        argument.rfind("--", 0) == 0 && equals != std::string::npos) {
      inlineValue = argument.substr(equals + 1);
      argument.resize(equals);
    }
    auto value = [&]() -> std::string {
      if (inlineValue) return *inlineValue;
      if (i + 1 >= arguments.size()) throw UsageError(argument + ": needs a value");
      return arguments[++i];
    };
    auto noValue = [&] {
      if (inlineValue) throw UsageError(argument + ": takes no value");
    };

    options.given.insert(argument);
    if (argument == "--project") {
      options.project = value();
      if (options.project.empty()) throw UsageError(argument + ": needs a file name");
    } else if (argument == "--save-project") {
      options.saveProject = value();
      if (options.saveProject.empty()) throw UsageError(argument + ": needs a file name");
    } else if (argument == "--block-width") {
      options.blockWidth = ParseNumber(value(), 0, kMaxBlockWidth, argument);
    } else if (argument == "--block-height") {
      options.blockHeight = ParseNumber(value(), 0, kMaxBlockHeight, argument);
    } else if (argument == "--by-columns") {
      noValue();
      options.byColumns = true;
    } else if (argument == "--color") {
      const auto [entry, text] = ParseEntryAssignment(value(), 1, argument);
      options.colors[entry] = ParseColor(text, argument);
    } else if (argument == "--disable") {
      const std::string list = value();
      std::size_t start = 0;
      while (true) {
        const std::size_t comma = list.find(',', start);
        const std::size_t end = comma == std::string::npos ? list.size() : comma;
        options.disabled[ParseNumber(std::string_view(list).substr(start, end - start), 0, 7, argument)] =
            true;
        if (comma == std::string::npos) break;
        start = comma + 1;
      }
    } else if (argument == "--label") {
      const auto [entry, text] = ParseEntryAssignment(value(), 0, argument);
      options.labels[entry] = text;
    } else if (argument == "--bpp") {
      const int bpp = ParseNumber(value(), 16, 32, argument);
      if (bpp != 16 && bpp != 24 && bpp != 32) throw UsageError(argument + ": expected 16, 24 or 32");
      options.bitsPerPixel = bpp;
    } else if (argument == "--match") {
      options.conversion.match = ParseChoice(value(), kMatches, argument);
    } else if (argument == "--diffusion") {
      options.conversion.diffusion = ParseChoice(value(), kDiffusions, argument);
    } else if (argument == "--serpentine") {
      noValue();
      options.conversion.serpentine = true;
    } else if (argument == "--palette") {
      options.paletteFile = value();
      if (options.paletteFile.empty()) throw UsageError(argument + ": needs a file name");
    } else if (argument == "--save-palette") {
      options.savePaletteFile = value();
      if (options.savePaletteFile.empty()) throw UsageError(argument + ": needs a file name");
    } else if (argument == "--stock") {
      const auto [entry, text] = ParseEntryAssignment(value(), 0, argument);
      options.stock[entry] = ParseNumber(text, 0, std::numeric_limits<int>::max(), argument);
    } else if (argument == "--size") {
      ParseSize(value(), argument, options.fit);
    } else if (argument == "--fit") {
      options.fit.mode = ParseChoice(value(), kFitModes, argument);
    } else if (argument == "--margin") {
      options.fit.marginEntry = ParseNumber(value(), 0, 7, argument);
    } else if (argument == "--keep-orientation") {
      noValue();
      options.keepOrientation = true;
    } else if (argument == "--pdf") {
      noValue();
      options.pdf = true;
    } else if (argument == "--page") {
      options.page = ParseChoice(value(), kPages, argument);
      sheetOption = argument;
    } else if (argument == "--symbols") {
      noValue();
      options.symbols = true;
      sheetOption = argument;
    } else if (argument == "--timings") {
      noValue();
      options.timings = true;
    } else if (argument == "--help" || argument == "-h") {
      noValue();
      options.help = true;
    } else if (argument == "--version") {
      noValue();
      options.version = true;
    } else {
      throw UsageError("unknown option " + argument);
    }
  }
  if (options.help || options.version) return options;
  if (!sheetOption.empty() && !options.pdf && options.project.empty())
    throw UsageError(sheetOption + ": needs --pdf");
  const std::size_t expected = options.project.empty() ? 2 : 1;
  if (names.size() != expected) {
    if (names.size() > expected) throw UsageError("too many arguments: \"" + names[expected] + "\"");
    throw UsageError(expected == 1 ? "expected a NAME" : "expected a PICTURE and a NAME");
  }
  if (expected == 2) options.picture = names[0];
  options.name = names.back();
  return options;
}

std::string BatchUsage() {
  const auto range = [](std::int32_t defaultValue, std::int32_t maximum) {
    return "(default " + std::to_string(defaultValue) + ", 0.." + std::to_string(maximum) + ")";
  };
  return "Usage: mozenta-batch [options] PICTURE NAME\n"
         "       mozenta-batch --project FILE [options] NAME\n"
         "Converts PICTURE (BMP, JPEG, PNG, GIF, TIFF, WebP, HEIF or AVIF, chosen by its extension) into a\n"
         "mosaic of eight colours and saves NAME.txt (block chart), NAME.csv (sheet counts per block) and\n"
         "NAME.bmp (the mosaic).\n"
         "\n"
         "  --block-width N    cells side by side in one block " +
         range(kDefaultBlockWidth, kMaxBlockWidth) +
         "\n"
         "  --block-height N   cells one above the other in one block " +
         range(kDefaultBlockHeight, kMaxBlockHeight) +
         "\n"
         "  --by-columns       list the blocks column by column\n"
         "  --color I=R,G,B    recolour entry I (1..7); the palette keeps the top four bits of each channel\n"
         "  --disable LIST     entries (comma-separated, 0..7) the conversion may not use; entry 0 stays a\n"
         "                     candidate\n"
         "  --label I=TEXT     the label of entry I (0..7), UTF-8\n"
         "  --bpp 16|24|32     depth of the mosaic bitmap file (default 32)\n"
         "  --match classic|perceptual\n"
         "                     how a cell's colour finds its entry: by the top four bits of each channel\n"
         "                     (default) or the nearest by CIEDE2000\n"
         "  --diffusion classic|floyd-steinberg|atkinson|sierra-lite|none\n"
         "                     how each cell's error is handed on (default classic)\n"
         "  --serpentine       walk odd rows right to left, the diffusion mirrored\n"
         "  --palette FILE     load colours and labels from a GIMP palette (.gpl) before --color and "
         "--label\n"
         "  --save-palette FILE\n"
         "                     also write the palette in force as a GIMP palette\n"
         "  --stock I=N        N sheets of entry I (0..7) on hand: a shortfall is printed on stderr\n"
         "  --size WxH         fit the picture to W x H cells (W 1..2000, H 1..20000); without it every\n"
         "                     pixel is one cell\n"
         "  --fit MODE         how --size fits: stretch (the aspect ratio ignored), cover (every cell "
         "filled,\n"
         "                     the excess cut equally from both sides; the default) or contain (the whole\n"
         "                     picture, centred between margins)\n"
         "  --margin I         the palette entry of the margins of contain (0..7, default 7)\n"
         "  --keep-orientation the rows of a photo as stored, not turned upright by its EXIF orientation\n"
         "  --pdf              also save NAME.pdf, the sheets to print: an overview, a page per block (more\n"
         "                     where a block's cells would be under 4 mm) and the totals\n"
         "  --page a4|a3|letter  the paper of NAME.pdf (default a4)\n"
         "  --symbols          NAME.pdf in black and white: labels without colours, colours in the legend\n"
         "  --project FILE     run a saved project: its picture, settings and hand edits; the options\n"
         "                     given as well override its settings\n"
         "  --save-project FILE  also write the job's project to FILE (with a project's edits, if any)\n"
         "  --timings          print the seconds spent loading, converting and saving on stderr\n"
         "  --help, --version\n";
}

}  // namespace mozenta
