#include "settings_json.h"

#include <optional>
#include <string_view>
#include <utility>

#include "mosaic/mosaic_grid.h"

namespace mozenta {
namespace {

using json = nlohmann::ordered_json;

// The names enums are stored by: stable words, so files do not depend on the order of the enumerators.
constexpr std::pair<BlockOrder, std::string_view> kOrderNames[] = {{BlockOrder::kByRows, "rows"},
                                                                   {BlockOrder::kByColumns, "columns"}};
constexpr std::pair<FitMode, std::string_view> kFitModeNames[] = {
    {FitMode::kStretch, "stretch"}, {FitMode::kCover, "cover"}, {FitMode::kContain, "contain"}};
constexpr std::pair<ColorMatch, std::string_view> kMatchNames[] = {{ColorMatch::kClassic, "classic"},
                                                                   {ColorMatch::kPerceptual, "perceptual"}};
constexpr std::pair<Diffusion, std::string_view> kDiffusionNames[] = {
    {Diffusion::kClassic, "classic"},
    {Diffusion::kFloydSteinberg, "floyd-steinberg"},
    {Diffusion::kAtkinson, "atkinson"},
    {Diffusion::kSierraLite, "sierra-lite"},
    {Diffusion::kNone, "none"}};
constexpr std::pair<PageSize, std::string_view> kPageNames[] = {
    {PageSize::kA4, "A4"}, {PageSize::kA3, "A3"}, {PageSize::kLetter, "letter"}};

template <typename Enum, std::size_t N>
std::string NameOf(const std::pair<Enum, std::string_view> (&names)[N], Enum value) {
  for (const auto& [each, name] : names)
    if (each == value) return std::string(name);
  return std::string(names[0].second);
}

// Reading: each helper leaves `value` alone when the key is missing and throws with the key's path when the
// value is of the wrong kind.
class Reader {
 public:
  Reader(const json& object, std::string path) : object_(object), path_(std::move(path)) {
    if (!object_.is_object()) Fail("");
  }

  const json* Find(std::string_view key) const {
    const auto it = object_.find(key);
    return it == object_.end() ? nullptr : &*it;
  }
  [[noreturn]] void Fail(std::string_view key) const {
    throw SettingsFormatError(key.empty() ? path_ : Path(key));
  }
  std::string Path(std::string_view key) const {
    return path_.empty() ? std::string(key) : path_ + "." + std::string(key);
  }
  std::optional<Reader> Section(std::string_view key) const {
    const json* value = Find(key);
    if (value == nullptr) return std::nullopt;
    return Reader(*value, Path(key));
  }

  void Read(std::string_view key, bool& value) const {
    if (const json* v = Find(key)) {
      if (!v->is_boolean()) Fail(key);
      value = v->get<bool>();
    }
  }
  template <typename Int>
  void Read(std::string_view key, Int& value, long long first, long long last) const {
    if (const json* v = Find(key)) value = static_cast<Int>(Integer(*v, first, last, key));
  }
  template <typename Enum, std::size_t N>
  void Read(std::string_view key, Enum& value, const std::pair<Enum, std::string_view> (&names)[N]) const {
    const json* v = Find(key);
    if (v == nullptr) return;
    if (v->is_string()) {
      for (const auto& [each, name] : names) {
        if (v->get<std::string>() == name) {
          value = each;
          return;
        }
      }
    }
    Fail(key);
  }

  long long Integer(const json& v, long long first, long long last, std::string_view key) const {
    if (!v.is_number_integer()) Fail(key);
    const long long n = v.get<long long>();
    if (n < first || n > last) Fail(key);
    return n;
  }

 private:
  const json& object_;
  std::string path_;
};

json PaletteToJson(const JobSettings& settings) {
  json entries = json::array();
  for (int i = 0; i < kPaletteColors; ++i) {
    const PaletteEntry& e = settings.palette.Entry(i);
    // The 4-bit channels as the palette keeps them.
    entries.push_back({{"color", {e.R, e.G, e.B}},
                       {"enabled", settings.palette.Enabled(i)},
                       {"label", settings.labels[i]}});
  }
  return entries;
}

void PaletteFromJson(const json& entries, JobSettings& settings) {
  if (!entries.is_array() || entries.size() > kPaletteColors) throw SettingsFormatError("palette");
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const Reader entry(entries[i], "palette[" + std::to_string(i) + "]");
    const int index = static_cast<int>(i);
    if (const json* color = entry.Find("color")) {
      if (!color->is_array() || color->size() != 3) entry.Fail("color");
      settings.palette.SetEntry(index,
                                {static_cast<std::uint8_t>(entry.Integer((*color)[0], 0, 15, "color")),
                                 static_cast<std::uint8_t>(entry.Integer((*color)[1], 0, 15, "color")),
                                 static_cast<std::uint8_t>(entry.Integer((*color)[2], 0, 15, "color"))});
    }
    bool enabled = settings.palette.Enabled(index);
    entry.Read("enabled", enabled);
    settings.palette.SetEnabled(index, enabled);
    if (const json* label = entry.Find("label")) {
      if (!label->is_string()) entry.Fail("label");
      settings.labels[i] = label->get<std::string>();
    }
  }
}

json StockToJson(const SheetStock& stock) {
  json counts = json::array();
  for (const auto& count : stock)
    counts.push_back(count ? json(*count) : json(nullptr));
  return counts;
}

void StockFromJson(const json& counts, SheetStock& stock) {
  if (!counts.is_array() || counts.size() > stock.size()) throw SettingsFormatError("advanced.stock");
  for (std::size_t i = 0; i < counts.size(); ++i) {
    if (counts[i].is_null()) {
      stock[i].reset();
    } else if (counts[i].is_number_integer() && counts[i].get<long long>() >= 0) {
      stock[i] = counts[i].get<std::int64_t>();
    } else {
      throw SettingsFormatError("advanced.stock[" + std::to_string(i) + "]");
    }
  }
}

}  // namespace

json SettingsToJson(const JobSettings& settings) {
  const AdvancedSettings& advanced = settings.advanced;
  const FitSettings& fit = advanced.picture.fit;
  return {
      {"palette", PaletteToJson(settings)},
      {"blocks",
       {{"width", settings.blocks.width},
        {"height", settings.blocks.height},
        {"order", NameOf(kOrderNames, settings.order)}}},
      {"bitsPerPixel", settings.mosaicBitsPerPixel},
      {"advanced",
       {{"fit",
         {{"keepSize", fit.keepSize},
          {"width", fit.width},
          {"height", fit.height},
          {"mode", NameOf(kFitModeNames, fit.mode)},
          {"marginEntry", fit.marginEntry}}},
        {"keepOrientation", advanced.picture.keepOrientation},
        {"conversion",
         {{"match", NameOf(kMatchNames, advanced.conversion.match)},
          {"diffusion", NameOf(kDiffusionNames, advanced.conversion.diffusion)},
          {"serpentine", advanced.conversion.serpentine}}},
        {"stock", StockToJson(advanced.stock)},
        {"sheets",
         {{"enabled", advanced.sheets.enabled},
          {"page", NameOf(kPageNames, advanced.sheets.page)},
          {"symbols", advanced.sheets.symbols}}}}},
  };
}

void SettingsFromJson(const json& object, JobSettings& settings) {
  const Reader top(object, "");
  if (const json* palette = top.Find("palette")) PaletteFromJson(*palette, settings);
  if (const auto blocks = top.Section("blocks")) {
    blocks->Read("width", settings.blocks.width, 0, kMaxBlockWidth);
    blocks->Read("height", settings.blocks.height, 0, kMaxBlockHeight);
    blocks->Read("order", settings.order, kOrderNames);
  }
  if (const json* bpp = top.Find("bitsPerPixel")) {
    const long long bits = top.Integer(*bpp, 16, 32, "bitsPerPixel");
    if (bits != 16 && bits != 24 && bits != 32) top.Fail("bitsPerPixel");
    settings.mosaicBitsPerPixel = static_cast<int>(bits);
  }
  const auto advanced = top.Section("advanced");
  if (!advanced) return;
  AdvancedSettings& into = settings.advanced;
  if (const auto fit = advanced->Section("fit")) {
    fit->Read("keepSize", into.picture.fit.keepSize);
    fit->Read("width", into.picture.fit.width, 0, kMaxMosaicColumns);
    fit->Read("height", into.picture.fit.height, 0, kMaxMosaicRows);
    fit->Read("mode", into.picture.fit.mode, kFitModeNames);
    fit->Read("marginEntry", into.picture.fit.marginEntry, 0, kPaletteColors - 1);
  }
  advanced->Read("keepOrientation", into.picture.keepOrientation);
  if (const auto conversion = advanced->Section("conversion")) {
    conversion->Read("match", into.conversion.match, kMatchNames);
    conversion->Read("diffusion", into.conversion.diffusion, kDiffusionNames);
    conversion->Read("serpentine", into.conversion.serpentine);
  }
  if (const json* stock = advanced->Find("stock")) StockFromJson(*stock, into.stock);
  if (const auto sheets = advanced->Section("sheets")) {
    sheets->Read("enabled", into.sheets.enabled);
    sheets->Read("page", into.sheets.page, kPageNames);
    sheets->Read("symbols", into.sheets.symbols);
  }
}

}  // namespace mozenta
