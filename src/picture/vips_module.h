// The pictures read and resampled through libvips, as the rest of the program reaches them: a table of two
// functions in the module mozenta-vips.so (program_module.h), so that libvips and the libraries it brings
// are bound only when a job first needs them.
#pragma once

#include <functional>

#include "bitmap.h"
#include "input_file.h"
#include "picture_fit.h"
#include "vips_picture.h"

namespace mozenta {

struct VipsModule {
  // DecodeWithVips (vips_decoder.h).
  void (*decode)(InputFile& file, LibraryFormat format, bool keepOrientation, TBitmap& target);
  // ResampleWithVips (vips_resample.h).
  void (*resample)(const TBitmap& source, const FitPlan& plan, TBitmap& fitted,
                   const std::function<bool(int rowsWritten, int rows)>& rowsWritten);
};

// The module's table, the module loaded on the first call from any thread. A program linked with the
// implementation itself (the tests, the fuzz targets) gets that instead. Throws Exception when the module
// cannot be had (program_module.h), again on every call until it can.
const VipsModule& LoadVipsModule();

}  // namespace mozenta

// The module's one entry: its table, or nullptr for a program of another build (ModuleBuild).
extern "C" const mozenta::VipsModule* mozenta_vips_module(const char* build);
