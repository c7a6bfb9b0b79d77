#include "save_progress_window.h"

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

SaveProgressWindow::SaveProgressWindow(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("SaveProgressWindow"));
  setWindowTitle(QString::fromUtf8("保存中"));
  setWindowModality(Qt::ApplicationModal);
  ApplyWindowLook(*this);
  caption = new QLabel(QString::fromUtf8("保存しています…"), this);
  gauge = new Gauge(this);
  gauge->setObjectName(QStringLiteral("SaveGauge"));
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

void SaveProgressWindow::AskToStop() {
  stop_.request_stop();
  cancelButton->setEnabled(false);
  caption->setText(QString::fromUtf8("中止しています…"));
}

void SaveProgressWindow::reject() {
  AskToStop();
}

void SaveProgressWindow::Run(const Work& work) {
  SharedGauge shared;
  std::exception_ptr error;
  connect(&poll_, &QTimer::timeout, this, [&] { shared.CopyTo(*gauge); });
  poll_.start();
  std::thread worker([&, stop = stop_.get_token()] {
    try {
      work(shared, stop);
    } catch (...) {
      error = std::current_exception();
    }
    // Ends the window's event loop from the window's thread.
    QMetaObject::invokeMethod(
        this, [this] { done(Accepted); }, Qt::QueuedConnection);
  });
  exec();
  worker.join();
  poll_.stop();
  poll_.disconnect();
  if (error) std::rethrow_exception(error);
}

}  // namespace mozenta
