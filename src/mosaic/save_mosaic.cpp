#include "save_mosaic.h"

#include <exception>
#include <functional>
#include <thread>

#include "io_error.h"

namespace mozenta {
// One writer of the save on a thread of its own. Dropped before it has been waited for (when another
// writer or the conversion failed), it asks the work to stop and waits for it.
class MosaicSave::Writer {
 public:
  explicit Writer(std::function<void(std::stop_token)> work)
      : thread_([this, work = std::move(work)](std::stop_token stop) {
          try {
            work(std::move(stop));
          } catch (...) {
            error_ = std::current_exception();
          }
        }) {}

  // Waits for the work to end; rethrows its error.
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
      reportFiles_(outputs_, names_.chart, further) {
  bitmapFile_ = &outputs_.Add();
  if (bitmapFile_->Create(names_.bitmap) != 0) {
    throw EFCreateError(MessageText(MessageId::kCannotCreateFile, names_.bitmap));
  }
  bitmap_ = std::make_unique<Writer>([this, mosaic, file = bitmapFile_](std::stop_token stop) {
    WriteMosaicBitmapFile(*file, mosaic, std::move(stop), &rows_);
  });
}

MosaicSave::~MosaicSave() {
  // The writers may wait for rows that will never come.
  for (Writer* writer : {reports_.get(), bitmap_.get()}) {
    if (writer != nullptr) writer->Stop();
  }
  rows_.PublishAll();
  reports_.reset();
  bitmap_.reset();
}

void MosaicSave::StartReports(ProgressGauge& gauge) {
  reports_ = std::make_unique<Writer>([this, &gauge](std::stop_token stop) {
    const RowsComing coming{rows_, std::move(stop)};
    reportFiles_.Write(grid_, layout_, settings_, gauge, &coming);
  });
}

void MosaicSave::Finish(ProgressGauge& gauge) {
  rows_.PublishAll();
  if (reports_ != nullptr) {
    reports_->Wait();
    reports_.reset();
  } else {
    reportFiles_.Write(grid_, layout_, settings_, gauge);
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
