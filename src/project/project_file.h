// Project files (.mozenta): a job's settings, the picture it starts from and the hand edits of its mosaic,
// as JSON with "format": 1. The picture is named relative to the project file when it lies beside or below
// it, so a folder holding both can move; elsewhere by its absolute path. Its SHA-256 tells whether it is
// still the same picture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "job_settings.h"
#include "mosaic/cell_runs.h"
#include "picture/errors.h"

namespace mozenta {

inline constexpr int kProjectFormat = 1;
inline constexpr std::uintmax_t kMaxProjectBytes = 256u << 20;

struct Project {
  std::string picture;        // the picture's path as the program opens it (absolute, or from the cwd)
  std::string pictureSha256;  // 64 hexadecimal digits
  JobSettings settings;
  std::vector<CellRun> edits;  // in the order they were made: a later run overrides an earlier one
};

// A project that cannot be read: malformed, of an unknown format, or with edits outside its mosaic.
class EProjectError : public Exception {
 public:
  using Exception::Exception;
};

// The project as the file's text. `projectFile` is where it will be written: it decides how the picture is
// named.
std::string ProjectText(const Project& project, const std::string& projectFile);

// Writes the project atomically (see WriteFileAtomically).
void WriteProject(const std::string& projectFile, const Project& project);

// Reads a project: the picture's path comes back resolved against the project file's folder. Settings the
// file lacks take their defaults and keys it does not know are ignored. Throws EFOpenError or EReadError
// when the file cannot be read and EProjectError when it is not a project this program reads.
Project ReadProject(const std::string& projectFile);
Project ParseProject(const std::string& text, const std::string& projectFile);

// Whether the project's picture is still there with the same bytes.
bool PictureMatches(const Project& project);

}  // namespace mozenta
