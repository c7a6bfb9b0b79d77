#include "report_writer.h"

#include <optional>

#include "block_walk.h"
#include "chart_writer.h"
#include "counts_writer.h"
#include "output_names.h"
#include "report_file.h"
#include "report_text.h"

namespace mozenta {
namespace {

// Both files are written out in pieces of 64 KiB: one system call per few hundred cell rows.
constexpr std::size_t kChartBufferBytes = 64 << 10;
constexpr std::size_t kCountsBufferBytes = 64 << 10;
constexpr std::size_t kFurtherBufferBytes = 64 << 10;

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

void WriteReports(const std::string& chartFileName, const MosaicGrid& grid, const ReportSettings& settings,
                  ProgressGauge& gauge, WalkedOutput* further) {
  const BlockLayout layout = LayOutBlocks(grid, settings.blocks, settings.order);
  const report_text::ReportLabels labels(settings.labels);

  gauge.SetMaxValue(layout.LastStep());
  ShownGauge shown(gauge);
  ReportFile chart(chartFileName, kChartBufferBytes);
  ReportFile counts(ReplaceFileExtension(chartFileName, ".csv"), kCountsBufferBytes);
  std::optional<ReportFile> furtherFile;
  if (further != nullptr) {
    furtherFile.emplace(ReplaceFileExtension(chartFileName, further->Extension()), kFurtherBufferBytes);
    further->Begin(*furtherFile);
  }
  ChartWriter chartWriter(chart, labels);
  CountsWriter countsWriter(counts, labels);
  if (further != nullptr) {
    ForEachBlock(grid, layout, {&chartWriter, &countsWriter, further}, gauge);
  } else {
    ForEachBlock(grid, layout, {&chartWriter, &countsWriter}, gauge);
  }

  shown.Hide();
  chart.Close();
  counts.Close();
  if (further != nullptr) {
    further->Complete();
    furtherFile->Close();
  }
}

}  // namespace mozenta
