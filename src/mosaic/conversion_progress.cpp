#include "conversion_progress.h"

#include "picture/errors.h"

namespace mozenta {

ConversionProgress ConversionProgress::Stage(double first, double last) const {
  ConversionProgress stage = *this;
  stage.first_ = first_ + (last_ - first_) * first;
  stage.last_ = first_ + (last_ - first_) * last;
  return stage;
}

bool ConversionProgress::Show(long long done, long long total) const {
  if (stop_.stop_requested()) return false;
  if (gauge_ == nullptr) return true;
  const double part = total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 1.0;
  gauge_->SetMaxValue(kScale);
  gauge_->SetProgress(static_cast<int>((first_ + (last_ - first_) * part) * kScale));
  return true;
}

void ConversionProgress::Reached(long long done, long long total) const {
  if (!Show(done, total)) throw EAbort();
}

}  // namespace mozenta
