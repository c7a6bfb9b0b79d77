// The load and mosaic steps of the largest picture (2000 × 20000, a 120 MB BMP) through the real windows
// against the same steps in mozenta-batch. A windows step is clicked on its button, its dialog answered,
// and timed from the moment the dialog closes until the picture window has painted the result; the batch
// tool runs as a process of its own and its steps are the seconds it reports with --timings. The cold
// cases wait 3 s before each run, so that memory freed by the run before has gone back to the system, as
// after a user's pause.
//   window_steps_bench [benchmark options]   (QT_QPA_PLATFORM=xcb with DISPLAY for an X display)
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "mosaic/mosaic_bitmap_file.h"
#include "photo_like.h"
#include "ui/application_setup.h"
#include "ui/error_handler.h"
#include "ui/program_windows.h"
#include "ui/system_locale.h"

namespace mozenta {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWidth = 2000;
constexpr int kHeight = 20000;
constexpr auto kColdPause = std::chrono::seconds(3);

const std::string& PicturePath() {
  static const std::string path = [] {
    const std::string name =
        (std::filesystem::temp_directory_path() / ("mozenta-steps-" + std::to_string(::getpid()) + ".bmp"))
            .string();
    TBitmap photo;
    bench::FillPhotoLike(photo, kWidth, kHeight, 24);
    WriteMosaicBitmapFile(name, photo);
    std::atexit([] { std::remove(PicturePath().c_str()); });
    return name;
  }();
  return path;
}

// Answers the next modal dialog with `answer` and notes when that dialog is hidden.
class DialogAnswer : public QObject {
 public:
  explicit DialogAnswer(std::function<void(QWidget*)> answer) : answer_(std::move(answer)) {
    qApp->installEventFilter(this);
  }
  ~DialogAnswer() override { qApp->removeEventFilter(this); }
  Clock::time_point closed;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (!widget->isWindow() || !widget->isModal()) return false;
    if (event->type() == QEvent::Show && !answered_) {
      answered_ = true;
      QTimer::singleShot(0, widget, [this, widget] { answer_(widget); });
    } else if (event->type() == QEvent::Hide && answered_ && closed == Clock::time_point()) {
      closed = Clock::now();
    }
    return false;
  }

 private:
  std::function<void(QWidget*)> answer_;
  bool answered_ = false;
};

// Notes when `widget` has been painted.
class PaintWatch : public QObject {
 public:
  explicit PaintWatch(QWidget* widget) : widget_(widget) { widget_->installEventFilter(this); }
  ~PaintWatch() override { widget_->removeEventFilter(this); }
  Clock::time_point painted;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted = Clock::now();
    return false;
  }

 private:
  QWidget* widget_;
};

class Windows {
 public:
  Windows() {
    windows_.mainWindow->show();
    QApplication::processEvents();
  }
  MainWindow& Main() { return *windows_.mainWindow; }
  ProgramWindows& All() { return windows_; }

 private:
  ProgramWindows windows_;
};

Windows& TheWindows() {
  static Windows* windows = new Windows;
  return *windows;
}

// Runs the command of `button` with its dialog answered by `answer`; the seconds from the dialog's closing
// until `shown` has painted.
double TimeWindowsStep(QAbstractButton* button, std::function<void(QWidget*)> answer, QWidget* shown) {
  DialogAnswer dialog(std::move(answer));
  PaintWatch paint(shown);
  button->click();
  while (paint.painted == Clock::time_point() || paint.painted < dialog.closed)
    QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  return std::chrono::duration<double>(paint.painted - dialog.closed).count();
}

void PauseIfCold(benchmark::State& state) {
  if (state.range(0) == 0) return;
  std::this_thread::sleep_for(kColdPause);
}

void ChoosePicture(QWidget* dialog) {
  auto* files = static_cast<QFileDialog*>(dialog);
  if (QWidget* focus = files->focusWidget()) focus->clearFocus();
  files->selectFile(QString::fromStdString(PicturePath()));
  QMetaObject::invokeMethod(files, "accept");
}

void BM_WindowsLoad(benchmark::State& state) {
  PicturePath();
  MainWindow& main = TheWindows().Main();
  for (auto _ : state) {
    PauseIfCold(state);
    state.SetIterationTime(
        TimeWindowsStep(main.loadButton, ChoosePicture, TheWindows().All().sourceWindow->pictureImage));
  }
}

void BM_WindowsConvert(benchmark::State& state) {
  MainWindow& main = TheWindows().Main();
  if (!main.convertButton->isEnabled()) {
    TimeWindowsStep(main.loadButton, ChoosePicture, TheWindows().All().sourceWindow->pictureImage);
  }
  PaletteDialog& palette = *TheWindows().All().paletteDialog;
  for (auto _ : state) {
    PauseIfCold(state);
    state.SetIterationTime(TimeWindowsStep(
        main.convertButton, [&](QWidget*) { palette.runButton->click(); },
        TheWindows().All().mosaicWindow->mosaicImage));
  }
}

// mozenta-batch on the same picture, one process a run, as a script runs it: the load and conversion
// seconds it reports with --timings, summed as the run's time and shown apart as counters.
void BM_Batch(benchmark::State& state) {
  const std::string out = PicturePath() + "-out";
  const std::string command =
      std::string(MOZENTA_BATCH_PATH) + " --timings '" + PicturePath() + "' '" + out + "' 2>&1 >/dev/null";
  double load = 0, convert = 0;
  for (auto _ : state) {
    PauseIfCold(state);
    std::FILE* timings = ::popen(command.c_str(), "r");
    if (timings == nullptr) {
      state.SkipWithError("cannot run mozenta-batch");
      break;
    }
    double runLoad = 0, runConvert = 0;
    char line[256];
    while (std::fgets(line, sizeof line, timings) != nullptr) {
      std::sscanf(line, "load %lf", &runLoad);
      std::sscanf(line, "convert %lf", &runConvert);
    }
    ::pclose(timings);
    load += runLoad;
    convert += runConvert;
    state.SetIterationTime(runLoad + runConvert);
  }
  for (const char* extension : {".txt", ".csv", ".bmp"})
    std::remove((out + extension).c_str());
  state.counters["load_ms"] = benchmark::Counter(1000 * load, benchmark::Counter::kAvgIterations);
  state.counters["convert_ms"] = benchmark::Counter(1000 * convert, benchmark::Counter::kAvgIterations);
}

void Warm(benchmark::internal::Benchmark* b) {
  b->ArgName("cold")->Arg(0)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
}
void Cold(benchmark::internal::Benchmark* b) {
  b->ArgName("cold")->Arg(1)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Batch)->Apply(Warm);
BENCHMARK(BM_WindowsLoad)->Apply(Warm);
BENCHMARK(BM_WindowsConvert)->Apply(Warm);
BENCHMARK(BM_Batch)->Apply(Cold);
BENCHMARK(BM_WindowsLoad)->Apply(Cold);
BENCHMARK(BM_WindowsConvert)->Apply(Cold);

}  // namespace
}  // namespace mozenta

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  mozenta::JapaneseSystemLocale japanese;
  mozenta::ErrorReportingApplication application(argc, argv);
  japanese.End();
  mozenta::SetUpApplication(application);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
