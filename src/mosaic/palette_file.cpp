#include "palette_file.h"

#include <charconv>
#include <cstdio>

#include "atomic_write.h"
#include "picture/errors.h"
#include "picture/file_name.h"
#include "picture/input_file.h"

namespace mozenta {
namespace {

constexpr std::uint64_t kMostFileBytes = std::uint64_t{1} << 20;  // no palette of eight colours comes near
constexpr std::string_view kFirstLine = "GIMP Palette";

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsSpace(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back()))
    text.remove_suffix(1);
  return text;
}

// Whether `text` is well-formed UTF-8 without NUL: the names become labels, converted for the reports.
bool IsUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int length = 0;
    std::uint32_t code = 0;
    if (lead == 0) return false;
    if (lead < 0x80) {
      length = 1;
      code = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2;
      code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
      code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
      code = lead & 0x07;
    } else {
      return false;
    }
    if (i + length > text.size()) return false;
    for (int k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = code << 6 | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    static constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kLeast[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

// A whole number 0..255 at the start of `text`, which moves past it.
bool TakeChannel(std::string_view& text, int& value) {
  while (!text.empty() && IsSpace(text.front()))
    text.remove_prefix(1);
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data() || value < 0 || value > 255) return false;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return true;
}

[[noreturn]] void ThrowLine(MessageId id, int line) {
  throw EInvalidPalette(MessageText(id, static_cast<long long>(line)));
}

}  // namespace

PaletteFileColors ParsePaletteFile(std::string_view text) {
  PaletteFileColors file;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // a byte-order mark
  int number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++number;
    if (number == 1) {
      if (Trimmed(line) != kFirstLine) ThrowLine(MessageId::kPaletteFileLine, number);
      continue;
    }
    const std::string_view trimmed = Trimmed(line);
    if (trimmed.empty() || trimmed.front() == '#') continue;
    if (file.colors.empty() && (trimmed.starts_with("Name:") || trimmed.starts_with("Columns:"))) {
      if (trimmed.starts_with("Columns:")) {
        const std::string_view value = Trimmed(trimmed.substr(8));
        int columns = 0;
        const auto [at, error] = std::from_chars(value.data(), value.data() + value.size(), columns);
        if (error != std::errc() || at != value.data() + value.size() || columns < 0 || columns > 256) {
          ThrowLine(MessageId::kPaletteFileLine, number);
        }
      } else if (!IsUtf8(trimmed)) {
        ThrowLine(MessageId::kPaletteFileLine, number);
      }
      continue;
    }
    int rgb[3];
    std::string_view rest = line;
    for (int& channel : rgb) {
      if (!TakeChannel(rest, channel)) ThrowLine(MessageId::kPaletteFileLine, number);
    }
    // The name is apart from the numbers, or there is none.
    if (!rest.empty() && !IsSpace(rest.front())) ThrowLine(MessageId::kPaletteFileLine, number);
    const std::string_view name = Trimmed(rest);
    if (!IsUtf8(name)) ThrowLine(MessageId::kPaletteFileLine, number);
    if (file.colors.size() == kPaletteColors) ThrowLine(MessageId::kPaletteFileTooManyColors, number);
    const std::uint32_t color = PackColor(rgb[0], rgb[1], rgb[2]);
    if (file.colors.empty() && PaletteEntryFromColor(color) != PaletteEntry{}) {
      throw EInvalidPalette(MessageText(MessageId::kPaletteFileFirstNotBlack));
    }
    file.colors.push_back(color);
    file.names.emplace_back(name);
  }
  if (number == 0) ThrowLine(MessageId::kPaletteFileLine, 1);
  if (file.colors.empty()) throw EInvalidPalette(MessageText(MessageId::kPaletteFileNoColors));
  return file;
}

void ApplyPaletteFile(const PaletteFileColors& file, Palette& palette, ColorLabels& labels) {
  for (std::size_t i = 0; i < file.colors.size(); ++i) {
    palette.SetEntry(static_cast<int>(i), PaletteEntryFromColor(file.colors[i]));
    labels[i] = file.names[i];
  }
}

void LoadPaletteFile(const std::string& fileName, Palette& palette, ColorLabels& labels) {
  InputFile input(fileName);
  if (input.Size() > kMostFileBytes) throw EInvalidPalette(MessageText(MessageId::kPaletteFileTooLarge));
  const std::vector<std::uint8_t> bytes = input.ReadToVector(kMostFileBytes);
  const PaletteFileColors file =
      ParsePaletteFile(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  ApplyPaletteFile(file, palette, labels);
}

std::string PaletteFileText(const Palette& palette, const ColorLabels& labels, std::string_view name) {
  auto oneLine = [](std::string_view text) {
    std::string line(text);
    for (char& c : line) {
      if (c == '\n' || c == '\r') c = ' ';
    }
    return line;
  };
  std::string text = std::string(kFirstLine) + "\nName: " + oneLine(name) + "\nColumns: 8\n#\n";
  for (int i = 0; i < kPaletteColors; ++i) {
    std::uint8_t rgb[3];
    SplitColor(palette.ExpandedColor(i), rgb);
    char numbers[16];
    std::snprintf(numbers, sizeof numbers, "%3d %3d %3d\t", rgb[0], rgb[1], rgb[2]);
    text += numbers + oneLine(labels[i]) + "\n";
  }
  return text;
}

void SavePaletteFile(const std::string& fileName, const Palette& palette, const ColorLabels& labels) {
  // The palette's name: the file's name without its folder and extension.
  const std::string text = PaletteFileText(palette, labels, FileStem(fileName));
  WriteFileAtomically(fileName, text);
}

}  // namespace mozenta
