// Shared pieces of the output tests: a scratch folder, whole-file reads, a folder's snapshot, a grid set from
// rows of palette indices, a gauge that records its calls, and Shift_JIS bytes written out by hand.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "mosaic/mosaic_grid.h"
#include "mosaic/progress_gauge.h"

namespace mozenta::testing {

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "mozenta-output-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string operator/(std::string_view name) const { return (path_ / name).string(); }
  std::string Path() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

inline std::string ReadWholeFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + name);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteWholeFile(const std::string& name, std::string_view bytes) {
  std::ofstream(name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// What a folder holds: each entry's name with its bytes, or what else it is.
inline std::map<std::string, std::string> Snapshot(const std::string& folder) {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string name = entry.path().lexically_relative(folder).string();  // links not followed
    if (entry.is_symlink()) {
      entries[name] = "link to " + fs::read_symlink(entry.path()).string();
    } else if (entry.is_regular_file()) {
      entries[name] = ReadWholeFile(entry.path().string());
    } else {
      entries[name] = entry.is_directory() ? "folder" : "other";
    }
  }
  return entries;
}

// Sets the limits and the cells from rows of palette indices, top row first; no rows gives MaxY = −1.
inline void SetGrid(MosaicGrid& grid, const std::vector<std::vector<int>>& rows, int columnsWhenEmpty = 0) {
  grid.SetLimits(static_cast<std::int32_t>(rows.empty() ? columnsWhenEmpty : rows[0].size()) - 1,
                 static_cast<std::int32_t>(rows.size()) - 1);
  for (std::size_t y = 0; y < rows.size(); ++y) {
    for (std::size_t x = 0; x < rows[y].size(); ++x)
      grid.SetCell(static_cast<int>(x), static_cast<int>(y), static_cast<std::uint8_t>(rows[y][x]));
  }
}

// The Shift_JIS form of the default labels and the fixed texts, from the code page's table, so that the
// expected files do not depend on the converter under test. Other non-ASCII characters are refused.
inline std::string Sjis(std::string_view utf8) {
  static constexpr std::pair<std::string_view, std::string_view> kTable[] = {
      {"黒", "\x8D\x95"}, {"青", "\x90\xC2"}, {"赤", "\x90\xD4"}, {"紫", "\x8E\x87"},
      {"緑", "\x97\xCE"}, {"水", "\x90\x85"}, {"黄", "\x89\xA9"}, {"白", "\x94\x92"},
      {"列", "\x97\xF1"}, {"目", "\x96\xDA"}, {"段", "\x92\x69"}};
  std::string out;
  while (!utf8.empty()) {
    if (static_cast<unsigned char>(utf8[0]) < 0x80) {
      out += utf8[0];
      utf8.remove_prefix(1);
      continue;
    }
    bool found = false;
    for (const auto& [from, to] : kTable) {
      if (utf8.starts_with(from)) {
        out += to;
        utf8.remove_prefix(from.size());
        found = true;
        break;
      }
    }
    if (!found) throw std::invalid_argument("no Shift_JIS bytes in the test table for this character");
  }
  return out;
}

// Lines joined with CR LF after each, in Shift_JIS.
inline std::string SjisLines(const std::vector<std::string_view>& lines) {
  std::string out;
  for (const auto line : lines)
    out += Sjis(line) + "\r\n";
  return out;
}

class RecordingGauge : public ProgressGauge {
 public:
  void SetMaxValue(int maximum) override { calls.push_back("max " + std::to_string(maximum)); }
  void SetProgress(int progress) override { calls.push_back("progress " + std::to_string(progress)); }
  void Show() override {
    calls.push_back("show");
    visible = true;
  }
  void Hide() override {
    calls.push_back("hide");
    visible = false;
  }
  std::vector<std::string> calls;
  bool visible = false;
};

}  // namespace mozenta::testing
