// The progress gauge: its percentage and clamping rules, its look, and that it repaints at once while a
// command keeps the event loop waiting.
#include "ui/gauge.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QTest>
#include <memory>
#include <vector>

#include "support/printing.h"

namespace mozenta::testing {
namespace {

struct GaugeStep {
  enum Kind { kMax, kProgress } kind;
  int value;
};

struct GaugeCase {
  const char* name;
  std::vector<GaugeStep> steps;
  int progress;
  int percent;
};

void PrintTo(const GaugeCase& c, std::ostream* out) {
  *out << c.name;
}

class GaugeRulesTest : public ::testing::TestWithParam<GaugeCase> {};

TEST_P(GaugeRulesTest, KeepsProgressAndPercentage) {
  Gauge gauge;
  for (const GaugeStep& step : GetParam().steps) {
    if (step.kind == GaugeStep::kMax) {
      gauge.SetMaxValue(step.value);
    } else {
      gauge.SetProgress(step.value);
    }
  }
  EXPECT_EQ(gauge.Progress(), GetParam().progress);
  EXPECT_EQ(gauge.PercentDone(), GetParam().percent);
}

using S = GaugeStep;
INSTANTIATE_TEST_SUITE_P(
    Rules, GaugeRulesTest,
    ::testing::Values(
        GaugeCase{"AtStart", {}, 0, 0}, GaugeCase{"Truncates", {{S::kMax, 3}, {S::kProgress, 2}}, 2, 66},
        GaugeCase{"LastOfTwo", {{S::kMax, 1}, {S::kProgress, 1}}, 1, 100},
        GaugeCase{"ZeroMaximumShowsZero", {{S::kMax, 0}, {S::kProgress, 0}}, 0, 0},
        GaugeCase{"ProgressClampedToMaximum", {{S::kMax, 5}, {S::kProgress, 9}}, 5, 100},
        GaugeCase{"ProgressClampedToMinimum", {{S::kMax, 5}, {S::kProgress, -3}}, 0, 0},
        GaugeCase{"LowerMaximumLowersProgress", {{S::kProgress, 80}, {S::kMax, 10}}, 10, 100},
        GaugeCase{"HigherMaximumKeepsProgress", {{S::kProgress, 50}, {S::kMax, 200}}, 50, 25},
        GaugeCase{
            "LargeValuesDoNotOverflow", {{S::kMax, 2000000000}, {S::kProgress, 1999999999}}, 1999999999, 99}),
    CaseName());

class PaintCounter : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

class GaugeWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<QWidget>();
    window_->resize(200, 60);
    gauge_ = new Gauge(window_.get());
    gauge_->setGeometry(10, 10, 129, 20);
    gauge_->hide();
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    gauge_->installEventFilter(&counter_);
  }

  std::unique_ptr<QWidget> window_;
  Gauge* gauge_ = nullptr;
  PaintCounter counter_;
};

// Nothing here returns to the event loop, as inside a report writer: every paint is an immediate one.
TEST_F(GaugeWindowTest, RepaintsAtOnceWhileVisible) {
  gauge_->SetMaxValue(4);
  EXPECT_EQ(counter_.paints, 0) << "hidden: nothing painted";
  gauge_->Show();
  EXPECT_EQ(counter_.paints, 1) << "showing paints at once";
  gauge_->SetProgress(1);
  EXPECT_EQ(counter_.paints, 2) << "25 %";
  gauge_->SetProgress(1);
  EXPECT_EQ(counter_.paints, 2) << "no change";
  gauge_->SetMaxValue(400);
  EXPECT_EQ(counter_.paints, 3) << "a new maximum";
  gauge_->SetProgress(2);
  EXPECT_EQ(counter_.paints, 3) << "still 0 %: no repaint";
  gauge_->SetProgress(4);
  EXPECT_EQ(counter_.paints, 4) << "1 %";
  gauge_->Hide();
  EXPECT_TRUE(gauge_->isHidden());
}

TEST_F(GaugeWindowTest, DrawsBlackBarOnWhiteInAFrame) {
  gauge_->SetMaxValue(2);
  gauge_->SetProgress(1);
  gauge_->Show();
  const QImage image = gauge_->grab().toImage();
  ASSERT_EQ(image.size(), QSize(129, 20));
  EXPECT_EQ(QColor(image.pixel(0, 10)), QColor(Qt::black)) << "frame";
  EXPECT_EQ(QColor(image.pixel(128, 10)), QColor(Qt::black)) << "frame";
  EXPECT_EQ(QColor(image.pixel(64, 0)), QColor(Qt::black)) << "frame";
  EXPECT_EQ(QColor(image.pixel(3, 3)), QColor(Qt::black)) << "bar";
  EXPECT_EQ(QColor(image.pixel(125, 3)), QColor(Qt::white)) << "rest";
  // The text "50%" is drawn across the middle: some pixels there are neither pure black nor pure white
  // in the white part, or white in the black part.
  int textPixels = 0;
  for (int x = 40; x < 90; ++x) {
    for (int y = 4; y < 16; ++y) {
      const QColor c(image.pixel(x, y));
      const bool inBar = x < 64;
      if (c != (inBar ? QColor(Qt::black) : QColor(Qt::white))) ++textPixels;
    }
  }
  EXPECT_GT(textPixels, 20);
}

}  // namespace
}  // namespace mozenta::testing
