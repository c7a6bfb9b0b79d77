#include "batch_job.h"

#include <chrono>
#include <cstdio>
#include <iomanip>
#include <new>

#include "batch_options.h"
#include "mosaic/fitted_conversion.h"
#include "mosaic/mosaic_grid.h"
#include "mosaic/palette.h"
#include "mosaic/palette_file.h"
#include "mosaic/sheet_stock.h"
#include "picture/errors.h"
#include "picture/source_picture.h"
#include "project/job_settings.h"
#include "project/project_file.h"
#include "project/project_mosaic.h"
#include "project/save_job.h"
#include "project/sha256_file.h"

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
// labels (a palette file first, then the single colours and labels), the main window's blocks and order,
// and the "詳細設定" window's fit, colour choices, stock and printable sheets, each as `base` has it
// unless the command line gave it.
JobSettings JobSettingsOf(const BatchOptions& options, JobSettings settings) {
  if (!options.paletteFile.empty()) LoadPaletteFile(options.paletteFile, settings.palette, settings.labels);
  for (int i = 1; i < kPaletteColors; ++i) {
    if (const auto& color = options.colors[i]) {
      settings.palette.SetEntry(i, PaletteEntryFromColor(PackColor(color->red, color->green, color->blue)));
    }
  }
  if (options.Given("--disable")) {
    for (int i = 0; i < kPaletteColors; ++i)
      settings.palette.SetEnabled(i, !options.disabled[i]);
  }
  for (int i = 0; i < kPaletteColors; ++i) {
    if (options.labels[i]) settings.labels[i] = *options.labels[i];
  }
  if (options.Given("--block-width")) settings.blocks.width = options.blockWidth;
  if (options.Given("--block-height")) settings.blocks.height = options.blockHeight;
  if (options.Given("--by-columns")) settings.order = BlockOrder::kByColumns;
  if (options.Given("--bpp")) settings.mosaicBitsPerPixel = options.bitsPerPixel;
  if (options.Given("--size")) {
    settings.advanced.picture.fit.keepSize = options.fit.keepSize;
    settings.advanced.picture.fit.width = options.fit.width;
    settings.advanced.picture.fit.height = options.fit.height;
  }
  if (options.Given("--fit")) settings.advanced.picture.fit.mode = options.fit.mode;
  if (options.Given("--margin")) settings.advanced.picture.fit.marginEntry = options.fit.marginEntry;
  if (options.Given("--keep-orientation")) settings.advanced.picture.keepOrientation = true;
  if (options.Given("--pdf")) settings.advanced.sheets.enabled = true;
  if (options.Given("--page")) settings.advanced.sheets.page = options.page;
  if (options.Given("--symbols")) settings.advanced.sheets.symbols = true;
  if (options.Given("--match")) settings.advanced.conversion.match = options.conversion.match;
  if (options.Given("--diffusion")) settings.advanced.conversion.diffusion = options.conversion.diffusion;
  if (options.Given("--serpentine")) settings.advanced.conversion.serpentine = true;
  for (int i = 0; i < kPaletteColors; ++i) {
    if (options.stock[i]) settings.advanced.stock[i] = options.stock[i];
  }
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
  Project project;
  if (!options.project.empty()) {
    project = ReadProject(options.project);
    if (!PictureMatches(project))
      throw Exception(MessageText(MessageId::kProjectPictureChanged, project.picture));
  } else {
    project.picture = options.picture;
  }
  project.settings = JobSettingsOf(options, project.settings);
  const JobSettings& settings = project.settings;
  StageClock clock;

  SourcePicture form2;
  PictureDecodeSettings decode;
  decode.viewFileRows = true;  // the picture is read once, by the conversion
  decode.keepOrientation = settings.advanced.picture.keepOrientation;
  SourcePictureLoad load(form2, project.picture, decode);
  const double loadSeconds = clock.Lap();

  // No mosaic bitmap: nothing shows it, and its file is painted from the grid and the palette. A JPEG
  // picture is converted band by band as its rows are decoded.
  MosaicGrid grid;
  const MosaicPixels pixels(grid, settings.palette, settings.mosaicBitsPerPixel);
  TerminalGauge terminalGauge(err);
  SilentGauge silentGauge;
  ProgressGauge& gauge = errIsTerminal ? static_cast<ProgressGauge&>(terminalGauge) : silentGauge;
  const FitSettings& fit = settings.advanced.picture.fit;
  double convertSeconds = 0;
  if (fit.keepSize && project.edits.empty()) {
    // The save starts first: the bitmap file and the reports go to the disk as the conversion makes its
    // rows.
    const TBitmap& source = *SourceBitmap(form2);
    SetMosaicLimits(source, grid);
    JobSave save(options.name, grid, pixels, settings);
    save.StartReports(gauge);
    ConvertToGrid(source, settings.palette, grid, load.Rows(), settings.advanced.conversion, {},
                  &save.RowsConverted());
    load.Finish();
    convertSeconds = clock.Lap();
    save.Finish(gauge);
  } else {
    // Resampling and hand edits need the whole picture: they wait for the decoder.
    load.Finish();
    const TBitmap& source = *SourceBitmap(form2);
    CheckEditsFit(project.edits, source, fit, options.project);
    MakeProjectGrid(project, source, grid);
    convertSeconds = clock.Lap();
    SaveJob(options.name, grid, pixels, settings, gauge);
  }
  if (!options.saveProject.empty()) {
    // A project run has already matched its picture's hash.
    if (options.project.empty()) {
      const auto digest = FileSha256(project.picture);
      if (!digest) throw EReadError(MessageText(MessageId::kReadError));
      project.pictureSha256 = *digest;
    }
    WriteProject(options.saveProject, project);
  }
  if (!options.savePaletteFile.empty())
    SavePaletteFile(options.savePaletteFile, settings.palette, settings.labels);
  const double saveSeconds = clock.Lap();

  const SheetStock& stock = settings.advanced.stock;
  if (AnyStockKnown(stock)) {
    for (const std::string& line : ShortageLines(SheetFiguresOf(MosaicTotals(grid), stock), settings.labels))
      err << line << '\n';
  }

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
