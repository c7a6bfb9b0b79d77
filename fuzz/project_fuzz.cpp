// Feeds arbitrary bytes to the project reader as a project's text, checks its edits against a 5 × 3 mosaic
// and writes what it read back as text, which must read again.
#include <cstdint>
#include <string>

#include "project/project_file.h"
#include "project/project_mosaic.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mozenta;
  const std::string text(reinterpret_cast<const char*>(data), size);
  Project project;
  try {
    project = ParseProject(text, "/fuzz/p.mozenta");
  } catch (const EProjectError&) {
    return 0;
  }
  TBitmap mosaic;
  mosaic.SetSize(5, 3);
  try {
    CheckEditsFit(project.edits, mosaic, project.settings.advanced.picture.fit, "/fuzz/p.mozenta");
  } catch (const EProjectError&) {
  }
  ParseProject(ProjectText(project, "/fuzz/p.mozenta"), "/fuzz/p.mozenta");
  return 0;
}
