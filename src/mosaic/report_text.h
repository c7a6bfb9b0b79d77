// The pieces of text the two report writers put together, in the Shift_JIS bytes they write: numbers, line
// ends, block names and the labels. Short lines are put together in a local array and written in one
// piece.
#pragma once

#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "chart_labels.h"
#include "color_labels.h"

namespace mozenta::report_text {

// Fixed texts, already in Shift_JIS: "列目" is 97 F1 96 DA and "段目" is 92 69 96 DA.
inline constexpr std::string_view kColumnMark = "\x97\xF1\x96\xDA-";  // "列目-"
inline constexpr std::string_view kRowMark = "\x92\x69\x96\xDA";      // "段目"
inline constexpr std::string_view kLineEnd = "\r\n";

inline char* Append(char* out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

inline constexpr std::size_t kNumberBytes = 20;  // the decimal digits of any 64-bit value, its sign included
inline char* AppendNumber(char* out, std::int64_t value) {
  return std::to_chars(out, out + kNumberBytes, value).ptr;
}

inline char* AppendLineEnd(char* out) {
  return Append(out, kLineEnd);
}

// A block's name: its column number, "列目-", its row number, "段目", both counted from 1.
inline constexpr std::size_t kBlockNameBytes = 2 * kNumberBytes + kColumnMark.size() + kRowMark.size();
inline char* AppendBlockName(char* out, std::int64_t column, std::int64_t row) {
  return Append(AppendNumber(Append(AppendNumber(out, column + 1), kColumnMark), row + 1), kRowMark);
}

// The eight labels in the forms the two files write them, converted from UTF-8 once per report.
struct ReportLabels {
  explicit ReportLabels(const ColorLabels& utf8);

  std::array<std::string, 8> chart;         // Shift_JIS
  std::array<std::string, 8> counts;        // Shift_JIS, quoted where the counts file's columns need it
  std::array<std::string, 8> countEntries;  // "   ", the chart form and "=": each count in the chart
  std::size_t maxLength = 0;
  // Labels of up to eight bytes are also kept as one zero-padded word each: a cell stores the whole word
  // and moves on by the label's length.
  bool packed = false;
  bool sameLength = false;
  std::array<std::uint64_t, 8> words{};
  std::array<std::uint8_t, 8> lengths{};
  // When every label has the same length of one or two bytes: two neighbouring cells of entries a and b as
  // one piece, pair a + 8b.
  std::array<std::uint32_t, 64> pairWords{};
  // The same labels for the vector kernel; its length stays 0 unless they are of one length, 1 or 2.
  chart_internal::UniformLabels uniform;
};

}  // namespace mozenta::report_text
