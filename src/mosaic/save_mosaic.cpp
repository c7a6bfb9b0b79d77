#include "save_mosaic.h"

#include <exception>
#include <thread>

#include "io_error.h"

namespace mozenta {
// The bitmap file written on a thread of its own. Dropped before it has been waited for (when the reports
// or the conversion failed), it asks the writer to stop and waits for it.
class MosaicSave::Bitmap {
 public:
  Bitmap(AtomicFile& file, const MosaicPixels& mosaic, const RowsReady* rows)
      : thread_([this, &file, mosaic, rows](std::stop_token stop) {
          try {
            WriteMosaicBitmapFile(file, mosaic, stop, rows);
          } catch (...) {
            error_ = std::current_exception();
          }
        }) {}

  // Waits for the file to be complete; rethrows the writer's error.
  void Wait() {
    thread_.join();
    if (error_) std::rethrow_exception(error_);
  }

  void Stop() { thread_.request_stop(); }

 private:
  std::exception_ptr error_;
  std::jthread thread_;  // last: it starts when everything else is in place
};

MosaicSave::MosaicSave(const std::string& fileName, const MosaicGrid& grid, const MosaicPixels& mosaic,
                       const ReportSettings& settings, WalkedOutput* further)
    : grid_(grid),
      settings_(settings),
      names_(SaveFileNamesFor(fileName)),
      layout_(LayOutBlocks(grid, settings.blocks, settings.order)),
      reports_(outputs_, names_.chart, further) {
  bitmapFile_ = &outputs_.Add();
  if (bitmapFile_->Create(names_.bitmap) != 0) {
    throw EFCreateError(MessageText(MessageId::kCannotCreateFile, names_.bitmap));
  }
  bitmap_ = std::make_unique<Bitmap>(*bitmapFile_, mosaic, &rows_);
}

MosaicSave::~MosaicSave() {
  // The writers may wait for rows that will never come.
  if (reportsThread_.joinable()) reportsThread_.request_stop();
  if (bitmap_ != nullptr) bitmap_->Stop();
  rows_.PublishAll();
  if (reportsThread_.joinable()) reportsThread_.join();
  bitmap_.reset();
}

void MosaicSave::StartReports(ProgressGauge& gauge) {
  reportsThread_ = std::jthread([this, &gauge](std::stop_token stop) {
    try {
      const RowsComing coming{rows_, std::move(stop)};
      reports_.Write(grid_, layout_, settings_, gauge, &coming);
    } catch (...) {
      reportsError_ = std::current_exception();
    }
  });
}

void MosaicSave::Finish(ProgressGauge& gauge) {
  rows_.PublishAll();
  if (reportsThread_.joinable()) {
    reportsThread_.join();
    if (reportsError_) std::rethrow_exception(reportsError_);
  } else {
    reports_.Write(grid_, layout_, settings_, gauge);
  }
  bitmap_->Wait();
  bitmap_.reset();
  const OutputSet::CommitFailure failure = outputs_.Commit();
  if (failure.file == bitmapFile_) {
    throw EFCreateError(MessageText(MessageId::kCannotCreateFile, names_.bitmap));
  }
  if (failure.file != nullptr) throw InOutErrorFromErrno(failure.errnum);
}

void SaveMosaic(const std::string& fileName, const MosaicGrid& grid, const MosaicPixels& mosaic,
                const ReportSettings& settings, ProgressGauge& gauge, WalkedOutput* further) {
  MosaicSave save(fileName, grid, mosaic, settings, further);
  save.Finish(gauge);
}

}  // namespace mozenta
