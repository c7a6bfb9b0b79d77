#include "picture_fit.h"

#include <algorithm>
#include <atomic>
#include <cstdint>

#include "errors.h"
#include "vips_bitmap.h"
#include "vips_runtime.h"

namespace mozenta {
namespace {

// a × b / c to the nearest whole number, halves up, for positive values.
int Scaled(std::int64_t a, std::int64_t b, std::int64_t c) {
  return static_cast<int>((2 * a * b + c) / (2 * c));
}

[[noreturn]] void OutOfResources() {
  vips::TakeErrorText();
  throw EOutOfResources(MessageText(MessageId::kOutOfResources));
}

template <typename Operation>
void Apply(vips::ImageRef& image, Operation operation) {
  VipsImage* out = nullptr;
  if (operation(image.get(), &out) != 0) OutOfResources();
  image.reset(out);
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
  const bool whole = plan.cropLeft == 0 && plan.cropTop == 0 && plan.cropWidth == source.Width() &&
                     plan.cropHeight == source.Height();
  if (whole && !plan.Resamples()) {
    fitted.Assign(source);
    return;
  }
  if (!vips::StartLibrary()) OutOfResources();
  vips::ImageRef image = vips::WrapBitmap(source);
  if (!image) OutOfResources();
  if (!whole) {
    Apply(image, [&](VipsImage* in, VipsImage** out) {
      return vips_extract_area(in, out, plan.cropLeft, plan.cropTop, plan.cropWidth, plan.cropHeight,
                               nullptr);
    });
  }
  if (plan.Resamples()) {
    const double horizontal = static_cast<double>(plan.pictureWidth) / plan.cropWidth;
    const double vertical = static_cast<double>(plan.pictureHeight) / plan.cropHeight;
    Apply(image, [&](VipsImage* in, VipsImage** out) {
      return vips_resize(in, out, horizontal, "vscale", vertical, "kernel", VIPS_KERNEL_LANCZOS3, nullptr);
    });
    // The library rounds the sizes it reaches; a row or column short is repeated, one too many dropped.
    if (image->Xsize != plan.pictureWidth || image->Ysize != plan.pictureHeight) {
      Apply(image, [&](VipsImage* in, VipsImage** out) {
        return vips_embed(in, out, 0, 0, plan.pictureWidth, plan.pictureHeight, "extend", VIPS_EXTEND_COPY,
                          nullptr);
      });
    }
  }
  std::atomic<bool> stopped = false;
  const auto follow = [&](int done, int rows) {
    if (!rowsWritten(done, rows)) stopped = true;
    return !stopped;
  };
  const bool written =
      vips::WriteIntoBitmap(image.get(), fitted, rowsWritten ? vips::RowsWrittenHandler(follow) : nullptr);
  // The library may let the last rows through after a stop: the stop still counts.
  if (stopped) {
    vips::TakeErrorText();
    throw EAbort();
  }
  if (written) return;
  OutOfResources();
}

}  // namespace mozenta
