// Palette files in the GIMP palette format (.gpl), the one palette sites and editors exchange: the colours
// of entries 0..7 in order, each with its name as the entry's label.
//
//   GIMP Palette
//   Name: stand
//   Columns: 8
//   #
//     0   0   0	黒
//     0   0 255	青
//
// After the first line, "Name:" and "Columns:" lines may come before the colours; lines starting with "#"
// and empty lines are skipped. A colour line holds red, green and blue (0..255) and the rest of the line,
// without the space around it, is the name (UTF-8, possibly empty).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "color_labels.h"
#include "palette.h"

namespace mozenta {

// What a palette file holds: up to eight colours (packed 0x00BBGGRR) and their names.
struct PaletteFileColors {
  std::vector<std::uint32_t> colors;
  std::vector<std::string> names;
};

// Reads the text of a palette file. Throws EInvalidPalette naming the first wrong line ("パレットファイルの
// 5 行目が不正です"), or saying that a ninth colour came, that there is no colour, or that the first colour
// is not black: entry 0 cannot be recoloured, so the first colour must keep black's top four bits.
PaletteFileColors ParsePaletteFile(std::string_view text);

// Entries 0..n − 1 take the file's n colours, as their top four bits (as the colour dialog keeps a choice),
// and their names as labels; the other entries and every enable flag stay as they are.
void ApplyPaletteFile(const PaletteFileColors& file, Palette& palette, ColorLabels& labels);

// Reads `fileName` and applies it; on any error (EFOpenError, EReadError, EInvalidPalette) nothing changes.
void LoadPaletteFile(const std::string& fileName, Palette& palette, ColorLabels& labels);

// The file of entries 0..7 at their expanded 8-bit colours, named `name`. A line break in a label is written
// as a space, so that the file stays readable.
std::string PaletteFileText(const Palette& palette, const ColorLabels& labels, std::string_view name);

// Writes that file, named after the file's name without its folder and extension, in place of any earlier
// one only once complete; failures are EInOutError as for the reports.
void SavePaletteFile(const std::string& fileName, const Palette& palette, const ColorLabels& labels);

}  // namespace mozenta
