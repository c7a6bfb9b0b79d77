#include "report_text.h"

#include <algorithm>

#include "shift_jis.h"

namespace mozenta::report_text {
namespace {

// A label in the counts file: as it is, unless a comma, a double quote or a line break in it would break
// the columns; such a label is quoted, its double quotes doubled.
std::string CountsFileLabel(const std::string& label) {
  if (label.find_first_of(",\"\r\n") == std::string::npos) return label;
  std::string quoted = "\"";
  for (const char c : label) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

}  // namespace

ReportLabels::ReportLabels(const ColorLabels& utf8) {
  for (int i = 0; i < 8; ++i) {
    chart[i] = Utf8ToShiftJis(utf8[i]);
    counts[i] = CountsFileLabel(chart[i]);
    countEntries[i] = "   " + chart[i] + "=";
    maxLength = std::max(maxLength, chart[i].size());
  }
  packed = maxLength <= sizeof(std::uint64_t);
  sameLength =
      std::all_of(chart.begin(), chart.end(), [&](const std::string& l) { return l.size() == maxLength; });
  if (packed) {
    for (int i = 0; i < 8; ++i) {
      std::memcpy(&words[i], chart[i].data(), chart[i].size());
      lengths[i] = static_cast<std::uint8_t>(chart[i].size());
    }
  }
  if (sameLength && maxLength <= 2) {
    for (unsigned pair = 0; pair < 64; ++pair) {
      const std::string both = chart[pair & 7] + chart[pair >> 3];
      std::memcpy(&pairWords[pair], both.data(), both.size());
    }
    uniform.length = static_cast<int>(maxLength);
    for (int i = 0; i < 8; ++i) {
      for (std::size_t k = 0; k < maxLength; ++k)
        uniform.bytes[k][i] = static_cast<std::uint8_t>(chart[i][k]);
    }
  }
}

}  // namespace mozenta::report_text
