#include "gauge.h"

#include <QPainter>
#include <algorithm>

namespace mozenta {

Gauge::Gauge(QWidget* parent) : QWidget(parent) {}

int Gauge::PercentDone() const {
  const std::int64_t span = std::int64_t{maximum_} - minimum_;
  if (span == 0) return 0;
  return static_cast<int>((std::int64_t{progress_} - minimum_) * 100 / span);
}

void Gauge::SetMaxValue(int maximum) {
  if (maximum == maximum_) return;
  maximum_ = maximum;
  if (progress_ > maximum_) progress_ = maximum_;
  RepaintNowIfVisible();
}

void Gauge::SetProgress(int progress) {
  const int clamped = std::clamp(progress, std::min(minimum_, maximum_), std::max(minimum_, maximum_));
  if (clamped == progress_) return;
  const int before = PercentDone();
  progress_ = clamped;
  if (PercentDone() != before) RepaintNowIfVisible();
}

void Gauge::Show() {
  show();
  RepaintNowIfVisible();
}

void Gauge::Hide() {
  hide();
}

void Gauge::RepaintNowIfVisible() {
  if (isVisible()) repaint();
}

void Gauge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect frame = rect();
  const QRect inside = frame.adjusted(1, 1, -1, -1);
  painter.fillRect(frame, Qt::black);
  painter.fillRect(inside, Qt::white);
  const int percent = std::clamp(PercentDone(), 0, 100);
  const QRect bar(inside.left(), inside.top(), inside.width() * percent / 100, inside.height());
  painter.fillRect(bar, Qt::black);

  // The text is black over the white part and white over the bar.
  const QString text = QString::number(PercentDone()) + QLatin1Char('%');
  painter.setFont(font());
  painter.setClipRect(inside.adjusted(bar.width(), 0, 0, 0));
  painter.setPen(Qt::black);
  painter.drawText(inside, Qt::AlignCenter, text);
  painter.setClipRect(bar);
  painter.setPen(Qt::white);
  painter.drawText(inside, Qt::AlignCenter, text);
}

}  // namespace mozenta
