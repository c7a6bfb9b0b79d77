#include "save_mosaic.h"

#include <exception>
#include <thread>

#include "io_error.h"
#include "output_names.h"
#include "output_set.h"

namespace mozenta {
namespace {

// The bitmap file written on a thread of its own. Dropped before it has been waited for (when the reports
// failed), it asks the writer to stop and waits for it.
class BitmapWriter {
 public:
  BitmapWriter(AtomicFile& file, const MosaicPixels& mosaic)
      : thread_([this, &file, &mosaic](std::stop_token stop) {
          try {
            WriteMosaicBitmapFile(file, mosaic, stop);
          } catch (...) {
            error_ = std::current_exception();
          }
        }) {}

  // Waits for the file to be complete; rethrows the writer's error.
  void Wait() {
    thread_.join();
    if (error_) std::rethrow_exception(error_);
  }

 private:
  std::exception_ptr error_;
  std::jthread thread_;  // last: it starts when everything else is in place
};

}  // namespace

void SaveMosaic(const std::string& fileName, const MosaicGrid& grid, const MosaicPixels& mosaic,
                const ReportSettings& settings, ProgressGauge& gauge, WalkedOutput* further) {
  const SaveFileNames names = SaveFileNamesFor(fileName);
  const BlockLayout layout = LayOutBlocks(grid, settings.blocks, settings.order);

  OutputSet outputs;
  ReportFiles reports(outputs, names.chart, further);
  AtomicFile& bitmap = outputs.Add();
  if (bitmap.Create(names.bitmap) != 0) {
    throw EFCreateError(MessageText(MessageId::kCannotCreateFile, names.bitmap));
  }
  {
    BitmapWriter bitmapWriter(bitmap, mosaic);
    reports.Write(grid, layout, settings, gauge);
    bitmapWriter.Wait();
  }
  const OutputSet::CommitFailure failure = outputs.Commit();
  if (failure.file == &bitmap) {
    throw EFCreateError(MessageText(MessageId::kCannotCreateFile, names.bitmap));
  }
  if (failure.file != nullptr) throw InOutErrorFromErrno(failure.errnum);
}

}  // namespace mozenta
