#include "project_file.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

#include "mosaic/atomic_write.h"
#include "settings_json.h"
#include "sha256_file.h"

namespace mozenta {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

fs::path FolderOf(const std::string& projectFile) {
  return fs::absolute(fs::path(projectFile)).lexically_normal().parent_path();
}

// The picture's name as stored: relative to the project's folder when it lies beside or below it.
std::string StoredPicturePath(const std::string& picture, const std::string& projectFile) {
  const fs::path absolute = fs::absolute(fs::path(picture)).lexically_normal();
  const fs::path relative = absolute.lexically_relative(FolderOf(projectFile));
  if (!relative.empty() && *relative.begin() != "..") return relative.generic_string();
  return absolute.string();
}

std::string ResolvedPicturePath(const std::string& stored, const std::string& projectFile) {
  const fs::path path(stored);
  if (path.is_absolute()) return path.string();
  return (FolderOf(projectFile) / path).lexically_normal().string();
}

[[noreturn]] void Malformed(const std::string& projectFile, const std::string& where) {
  throw EProjectError(MessageText(MessageId::kProjectMalformed, projectFile, where));
}

std::vector<CellRun> EditsFromJson(const json& edits, const std::string& projectFile) {
  if (!edits.is_array()) Malformed(projectFile, "edits");
  std::vector<CellRun> runs;
  runs.reserve(edits.size());
  for (std::size_t i = 0; i < edits.size(); ++i) {
    const json& run = edits[i];
    const auto fieldOk = [&](std::size_t f) { return run[f].is_number_integer(); };
    if (!run.is_array() || run.size() != 4 || !fieldOk(0) || !fieldOk(1) || !fieldOk(2) || !fieldOk(3))
      Malformed(projectFile, "edits[" + std::to_string(i) + "]");
    const auto field = [&](std::size_t f) {
      const long long v = run[f].get<long long>();
      // Far outside any mosaic all the same: the check against the mosaic reports it.
      return static_cast<std::int32_t>(std::clamp<long long>(v, -1, 1 << 30));
    };
    runs.push_back({field(0), field(1), field(2), static_cast<std::uint8_t>(std::clamp(field(3), 0, 255))});
  }
  return runs;
}

}  // namespace

std::string ProjectText(const Project& project, const std::string& projectFile) {
  json object = {
      {"format", kProjectFormat},
      {"picture",
       {{"path", StoredPicturePath(project.picture, projectFile)}, {"sha256", project.pictureSha256}}}};
  object.update(SettingsToJson(project.settings));
  // The edits one run to a line, [x, top, length, entry], after everything else.
  // Text that is not UTF-8 (a label given in another encoding) is written with U+FFFD in its place.
  std::string text = object.dump(2, ' ', false, json::error_handler_t::replace);
  text.resize(text.size() - 2);  // "\n}"
  text += ",\n  \"edits\": [";
  const char* separator = "\n    ";
  for (const CellRun& run : project.edits) {
    text += separator + json{run.x, run.top, run.length, run.entry}.dump();
    separator = ",\n    ";
  }
  text += project.edits.empty() ? "]\n}\n" : "\n  ]\n}\n";
  return text;
}

void WriteProject(const std::string& projectFile, const Project& project) {
  WriteFileAtomically(projectFile, ProjectText(project, projectFile));
}

Project ParseProject(const std::string& text, const std::string& projectFile) {
  const json object = json::parse(text, nullptr, false);
  if (object.is_discarded()) Malformed(projectFile, "JSON");
  if (!object.is_object()) Malformed(projectFile, "JSON");
  const auto format = object.find("format");
  if (format == object.end() || !format->is_number_integer()) Malformed(projectFile, "format");
  if (format->get<long long>() != kProjectFormat)
    throw EProjectError(MessageText(MessageId::kProjectUnknownFormat, projectFile, format->dump()));

  Project project;
  const auto picture = object.find("picture");
  if (picture == object.end() || !picture->is_object()) Malformed(projectFile, "picture");
  const auto path = picture->find("path");
  const auto sha256 = picture->find("sha256");
  if (path == picture->end() || !path->is_string() || path->get<std::string>().empty())
    Malformed(projectFile, "picture.path");
  if (sha256 == picture->end() || !sha256->is_string()) Malformed(projectFile, "picture.sha256");
  project.picture = ResolvedPicturePath(path->get<std::string>(), projectFile);
  project.pictureSha256 = sha256->get<std::string>();
  try {
    SettingsFromJson(object, project.settings);
  } catch (const SettingsFormatError& e) {
    Malformed(projectFile, e.what());
  }
  if (const auto edits = object.find("edits"); edits != object.end())
    project.edits = EditsFromJson(*edits, projectFile);
  return project;
}

Project ReadProject(const std::string& projectFile) {
  std::ifstream in(projectFile, std::ios::binary);
  if (!in) throw EFOpenError(MessageText(MessageId::kCannotOpenFile, projectFile));
  // Far more than the edits of a whole mosaic cell by cell need; a larger file is not a project of ours and
  // would take many times its size as parsed JSON.
  std::error_code error;
  const auto size = std::filesystem::file_size(projectFile, error);
  if (!error && size > kMaxProjectBytes) Malformed(projectFile, "size");
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) throw EReadError(MessageText(MessageId::kReadError));
  return ParseProject(text, projectFile);
}

bool PictureMatches(const Project& project) {
  const auto digest = FileSha256(project.picture);
  return digest && *digest == project.pictureSha256;
}

}  // namespace mozenta
