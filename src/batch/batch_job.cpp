#include "batch_job.h"

#include <chrono>
#include <cstdio>
#include <iomanip>
#include <new>

#include "batch_options.h"
#include "mosaic/fitted_conversion.h"
#include "mosaic/mosaic_grid.h"
#include "mosaic/palette.h"
#include "picture/errors.h"
#include "picture/source_picture.h"
#include "project/job_settings.h"
#include "project/save_job.h"

namespace mozenta {
namespace {

// The reports' progress as a percentage on a terminal, rewritten in place.
class TerminalGauge : public ProgressGauge {
 public:
  explicit TerminalGauge(std::ostream& err) : err_(err) {}
  void SetMaxValue(int maximum) override {
    maximum_ = maximum;
    if (progress_ > maximum_) progress_ = maximum_;
    Draw();
  }
  void SetProgress(int progress) override {
    progress_ = progress < 0 ? 0 : progress > maximum_ ? maximum_ : progress;
    Draw();
  }
  void Show() override {
    visible_ = true;
    shown_ = -1;
    Draw();
  }
  void Hide() override {
    if (visible_) err_ << "\r     \r" << std::flush;
    visible_ = false;
  }

 private:
  void Draw() {
    if (!visible_) return;
    const int percent =
        maximum_ == 0 ? 0 : static_cast<int>(static_cast<long long>(progress_) * 100 / maximum_);
    if (percent == shown_) return;
    shown_ = percent;
    err_ << '\r' << std::setw(3) << percent << '%' << std::flush;
  }

  std::ostream& err_;
  int maximum_ = 100;
  int progress_ = 0;
  int shown_ = -1;
  bool visible_ = false;
};

// The settings the windows would hold after the user's choices: the palette dialog's colours, flags and
// labels, the main window's blocks and order, the "詳細設定" window's printable sheets.
JobSettings JobSettingsOf(const BatchOptions& options) {
  JobSettings settings;
  for (int i = 1; i < kPaletteColors; ++i) {
    if (const auto& color = options.colors[i]) {
      settings.palette.SetEntry(i, PaletteEntryFromColor(PackColor(color->red, color->green, color->blue)));
    }
  }
  for (int i = 0; i < kPaletteColors; ++i)
    settings.palette.SetEnabled(i, !options.disabled[i]);
  for (int i = 0; i < kPaletteColors; ++i) {
    if (options.labels[i]) settings.labels[i] = *options.labels[i];
  }
  settings.blocks = {options.blockWidth, options.blockHeight};
  settings.order = options.byColumns ? BlockOrder::kByColumns : BlockOrder::kByRows;
  settings.mosaicBitsPerPixel = options.bitsPerPixel;
  settings.advanced.picture.fit = options.fit;
  settings.advanced.picture.keepOrientation = options.keepOrientation;
  settings.advanced.sheets = {options.pdf, options.page, options.symbols};
  return settings;
}

class StageClock {
 public:
  double Lap() {
    const auto now = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(now - last_).count();
    last_ = now;
    return seconds;
  }

 private:
  std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

void RunJob(const BatchOptions& options, std::ostream& err, bool errIsTerminal) {
  const JobSettings settings = JobSettingsOf(options);
  StageClock clock;

  SourcePicture form2;
  PictureDecodeSettings decode;
  decode.viewFileRows = true;  // the picture is read once, by the conversion
  decode.keepOrientation = settings.advanced.picture.keepOrientation;
  SourcePictureLoad load(form2, options.picture, decode);
  const double loadSeconds = clock.Lap();

  // No mosaic bitmap: nothing shows it, and its file is painted from the grid and the palette. A JPEG
  // picture is converted band by band as its rows are decoded.
  MosaicGrid grid;
  const FitSettings& fit = settings.advanced.picture.fit;
  if (fit.keepSize) {
    ConvertToGrid(*SourceBitmap(form2), settings.palette, grid, load.Rows());
    load.Finish();
  } else {
    // Resampling reads the whole picture: it waits for the decoder.
    load.Finish();
    TBitmap mosaic;
    mosaic.SetPixelFormat(settings.mosaicBitsPerPixel);
    ConvertFittedPicture(*SourceBitmap(form2), fit, settings.palette, grid, mosaic);
  }
  const double convertSeconds = clock.Lap();

  TerminalGauge terminalGauge(err);
  SilentGauge silentGauge;
  SaveJob(options.name, grid, MosaicPixels(grid, settings.palette, settings.mosaicBitsPerPixel), settings,
          errIsTerminal ? static_cast<ProgressGauge&>(terminalGauge) : silentGauge);
  const double saveSeconds = clock.Lap();

  if (options.timings) {
    err << std::fixed << std::setprecision(3) << "load     " << loadSeconds << " s\n"
        << "convert  " << convertSeconds << " s\n"
        << "save     " << saveSeconds << " s\n"
        << "total    " << loadSeconds + convertSeconds + saveSeconds << " s\n";
  }
}

}  // namespace

int RunBatch(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
             bool errIsTerminal) {
  BatchOptions options;
  try {
    options = ParseBatchOptions(arguments);
  } catch (const UsageError& e) {
    err << "mozenta-batch: " << e.what() << "\nTry 'mozenta-batch --help'.\n";
    return kExitUsage;
  }
  if (options.help) {
    out << BatchUsage();
    return kExitSuccess;
  }
  if (options.version) {
    out << "mozenta-batch " MOZENTA_VERSION "\n";
    return kExitSuccess;
  }
  try {
    RunJob(options, err, errIsTerminal);
  } catch (const std::bad_alloc&) {
    err << WithFinalStop(MessageText(MessageId::kOutOfMemory)) << '\n';
    return kExitFailure;
  } catch (const std::exception& e) {
    err << WithFinalStop(e.what()) << '\n';
    return kExitFailure;
  }
  return kExitSuccess;
}

}  // namespace mozenta
