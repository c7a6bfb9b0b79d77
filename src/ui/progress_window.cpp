#include "progress_window.h"

#include <QEventLoop>
#include <QVBoxLayout>
#include <atomic>
#include <exception>
#include <thread>

#include "application_setup.h"

namespace mozenta {
namespace {

// The worker's gauge: values the window's timer copies onto the visible gauge in the window's own thread.
class SharedGauge : public ProgressGauge {
 public:
  void SetMaxValue(int maximum) override {
    maximum_ = maximum;
    if (progress_ > maximum) progress_ = maximum;
  }
  void SetProgress(int progress) override {
    const int maximum = maximum_;
    progress_ = progress < 0 ? 0 : progress > maximum ? maximum : progress;
  }
  void Show() override {}
  void Hide() override {}

  void CopyTo(Gauge& gauge) const {
    gauge.SetMaxValue(maximum_);
    gauge.SetProgress(progress_);
  }

 private:
  std::atomic<int> maximum_{100};
  std::atomic<int> progress_{0};
};

}  // namespace

const ProgressWindow::Look ProgressWindow::kSaving = {"SaveProgressWindow", "SaveGauge", "保存中",
                                                      "保存しています…"};
const ProgressWindow::Look ProgressWindow::kConverting = {"ConversionProgressWindow", "ConversionGauge",
                                                          "変換中", "変換しています…"};

ProgressWindow::ProgressWindow(const Look& look, QWidget* parent) : QDialog(parent) {
  setObjectName(QString::fromLatin1(look.objectName));
  setWindowTitle(QString::fromUtf8(look.title));
  setWindowModality(Qt::ApplicationModal);
  ApplyWindowLook(*this);
  caption = new QLabel(QString::fromUtf8(look.caption), this);
  gauge = new Gauge(this);
  gauge->setObjectName(QString::fromLatin1(look.gaugeName));
  gauge->setFixedSize(240, 20);
  cancelButton = new QPushButton(QString::fromUtf8("中止"), this);
  cancelButton->setObjectName(QStringLiteral("CancelButton"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(caption);
  layout->addWidget(gauge);
  layout->addWidget(cancelButton, 0, Qt::AlignRight);
  connect(cancelButton, &QPushButton::clicked, this, [this] { AskToStop(); });
  poll_.setInterval(50);
}

void ProgressWindow::AskToStop() {
  stop_.request_stop();
  cancelButton->setEnabled(false);
  caption->setText(QString::fromUtf8("中止しています…"));
}

void ProgressWindow::reject() {
  AskToStop();
}

void ProgressWindow::Run(const Work& work, std::chrono::milliseconds showAfter) {
  SharedGauge shared;
  std::exception_ptr error;
  bool ended = false;  // read and written in the window's thread only
  QEventLoop waiting;
  connect(&poll_, &QTimer::timeout, this, [&] { shared.CopyTo(*gauge); });
  poll_.start();
  std::thread worker([&, stop = stop_.get_token()] {
    try {
      work(shared, stop);
    } catch (...) {
      error = std::current_exception();
    }
    // Ends whichever loop waits for the work, from the window's thread.
    QMetaObject::invokeMethod(
        this,
        [&] {
          ended = true;
          waiting.quit();
          done(Accepted);
        },
        Qt::QueuedConnection);
  });
  if (showAfter.count() > 0) {
    // Until then the windows repaint; what the user types or clicks waits, as it would behind the window.
    QTimer::singleShot(showAfter, &waiting, &QEventLoop::quit);
    waiting.exec(QEventLoop::ExcludeUserInputEvents);
  }
  if (!ended) exec();
  worker.join();
  poll_.stop();
  poll_.disconnect();
  if (error) std::rethrow_exception(error);
}

}  // namespace mozenta
