#include "picture_fit.h"

#include <algorithm>
#include <cstdint>

#include "vips_module.h"

namespace mozenta {
namespace {

// a × b / c to the nearest whole number, halves up, for positive values.
int Scaled(std::int64_t a, std::int64_t b, std::int64_t c) {
  return static_cast<int>((2 * a * b + c) / (2 * c));
}

}  // namespace

FitPlan PlanFit(int sourceWidth, int sourceHeight, const FitSettings& settings) {
  FitPlan plan;
  plan.cropWidth = plan.pictureWidth = plan.width = sourceWidth;
  plan.cropHeight = plan.pictureHeight = plan.height = sourceHeight;
  if (settings.keepSize || sourceWidth <= 0 || sourceHeight <= 0) return plan;

  const int width = std::clamp(settings.width, 1, kMaxFitWidth);
  const int height = std::clamp(settings.height, 1, kMaxFitHeight);
  plan.width = plan.pictureWidth = width;
  plan.height = plan.pictureHeight = height;
  // The source is wider than the target when sourceWidth / sourceHeight > width / height.
  const bool wider = std::int64_t{sourceWidth} * height > std::int64_t{width} * sourceHeight;
  // One side shortened to `wanted` (at least 1, at most `whole`) and centred in `whole`.
  const auto centre = [](int wanted, int whole, int& size, int& offset) {
    size = std::clamp(wanted, 1, whole);
    offset = (whole - size) / 2;
  };
  switch (settings.mode) {
    case FitMode::kStretch:
      break;
    case FitMode::kCover:
      if (wider) {
        centre(Scaled(sourceHeight, width, height), sourceWidth, plan.cropWidth, plan.cropLeft);
      } else {
        centre(Scaled(sourceWidth, height, width), sourceHeight, plan.cropHeight, plan.cropTop);
      }
      break;
    case FitMode::kContain:
      if (wider) {
        centre(Scaled(sourceHeight, width, sourceWidth), height, plan.pictureHeight, plan.top);
      } else {
        centre(Scaled(sourceWidth, height, sourceHeight), width, plan.pictureWidth, plan.left);
      }
      break;
  }
  return plan;
}

void FitPicture(const TBitmap& source, const FitPlan& plan, TBitmap& fitted,
                const std::function<bool(int rowsWritten, int rows)>& rowsWritten) {
  if (plan.CropsWhole(source.Width(), source.Height()) && !plan.Resamples()) {
    fitted.Assign(source);
    return;
  }
  LoadVipsModule().resample(source, plan, fitted, rowsWritten);
}

}  // namespace mozenta
