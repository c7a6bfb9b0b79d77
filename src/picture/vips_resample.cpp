#include "vips_resample.h"

#include <atomic>

#include "errors.h"
#include "vips_bitmap.h"
#include "vips_runtime.h"

namespace mozenta {
namespace {

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

void ResampleWithVips(const TBitmap& source, const FitPlan& plan, TBitmap& fitted,
                      const std::function<bool(int rowsWritten, int rows)>& rowsWritten) {
  if (!vips::StartLibrary()) OutOfResources();
  vips::ImageRef image = vips::WrapBitmap(source);
  if (!image) OutOfResources();
  if (!plan.CropsWhole(source.Width(), source.Height())) {
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
  if (!written) OutOfResources();
}

}  // namespace mozenta
