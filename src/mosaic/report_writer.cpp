#include "report_writer.h"

#include <optional>

#include "block_walk.h"
#include "buffered_output.h"
#include "chart_writer.h"
#include "counts_writer.h"
#include "io_error.h"
#include "output_names.h"
#include "report_text.h"

namespace mozenta {
namespace {

// The chart goes out in pieces of 1 MiB, which the disk takes at full speed; the counts file is small.
constexpr std::size_t kChartBufferBytes = std::size_t{1} << 20;
constexpr std::size_t kCountsBufferBytes = 64 << 10;
// The printable sheets are written while their pages are drawn, a buffer at a time.
constexpr std::size_t kFurtherBufferBytes = std::size_t{1} << 20;

[[noreturn]] void ThrowInOutError(int errnum) {
  throw InOutErrorFromErrno(errnum);
}

// Hides the gauge when the report ends, by return or by error.
class ShownGauge {
 public:
  explicit ShownGauge(ProgressGauge& gauge) : gauge_(gauge) { gauge_.Show(); }
  ~ShownGauge() {
    if (shown_) gauge_.Hide();
  }
  ShownGauge(const ShownGauge&) = delete;
  ShownGauge& operator=(const ShownGauge&) = delete;
  void Hide() {
    shown_ = false;
    gauge_.Hide();
  }

 private:
  ProgressGauge& gauge_;
  bool shown_ = true;
};

}  // namespace

ReportFiles::ReportFiles(OutputSet& outputs, const std::string& chartFileName, WalkedOutput* further)
    : chart_(outputs.Add()), counts_(outputs.Add()), further_(further) {
  if (const int error = chart_.Create(chartFileName)) throw InOutErrorFromErrno(error);
  if (const int error = counts_.Create(ReplaceFileExtension(chartFileName, ".csv"))) {
    throw InOutErrorFromErrno(error);
  }
  if (further_ != nullptr) {
    furtherFile_ = &outputs.Add();
    if (const int error = furtherFile_->Create(ReplaceFileExtension(chartFileName, further_->Extension()))) {
      throw InOutErrorFromErrno(error);
    }
  }
}

void ReportFiles::Write(const MosaicGrid& grid, const BlockLayout& layout, const ReportSettings& settings,
                        ProgressGauge& gauge, const RowsComing* coming) {
  const report_text::ReportLabels labels(settings.labels);
  gauge.SetMaxValue(layout.LastStep());
  ShownGauge shown(gauge);
  BufferedOutput chart(chart_, kChartBufferBytes, ThrowInOutError, true);
  BufferedOutput counts(counts_, kCountsBufferBytes, ThrowInOutError);
  std::optional<BufferedOutput> furtherOutput;
  if (further_ != nullptr) {
    furtherOutput.emplace(*furtherFile_, kFurtherBufferBytes, ThrowInOutError, true);
    further_->Begin(*furtherOutput);
  }
  ChartWriter chartWriter(chart, labels);
  CountsWriter countsWriter(counts, labels);
  if (further_ != nullptr) {
    ForEachBlock(grid, layout, {&chartWriter, &countsWriter, further_}, gauge, coming);
  } else {
    ForEachBlock(grid, layout, {&chartWriter, &countsWriter}, gauge, coming);
  }

  shown.Hide();
  chart.Close();
  counts.Close();
  if (further_ != nullptr) {
    further_->Complete();
    furtherOutput->Close();
  }
}

void WriteReports(const std::string& chartFileName, const MosaicGrid& grid, const ReportSettings& settings,
                  ProgressGauge& gauge) {
  const BlockLayout layout = LayOutBlocks(grid, settings.blocks, settings.order);
  OutputSet outputs;
  ReportFiles files(outputs, chartFileName);
  files.Write(grid, layout, settings, gauge);
  if (const OutputSet::CommitFailure failure = outputs.Commit(); failure.file != nullptr) {
    throw InOutErrorFromErrno(failure.errnum);
  }
}

}  // namespace mozenta
