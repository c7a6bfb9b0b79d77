#include "spin_edit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QToolButton>
#include <algorithm>
#include <limits>
#include <optional>
#include <string_view>

namespace mozenta {
namespace {

constexpr int kArrowButtonWidth = 15;

std::function<void()>& BeepHandler() {
  static std::function<void()> handler;
  return handler;
}

void Beep() {
  if (BeepHandler()) {
    BeepHandler()();
  } else {
    QApplication::beep();
  }
}

// A signed decimal integer that fills the whole text after optional leading blanks; nothing when the text
// is anything else or the number does not fit 32 bits.
std::optional<std::int32_t> ParseInteger(std::string_view text) {
  std::size_t i = text.find_first_not_of(' ');
  if (i == std::string_view::npos) return std::nullopt;
  bool negative = false;
  if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  std::int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return std::nullopt;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace

SpinEdit::SpinEdit(QWidget* parent) : QLineEdit(parent) {
  // Characters arrive as key presses only, so every one of them passes the typing filter.
  setAttribute(Qt::WA_InputMethodEnabled, false);
  setFocusPolicy(Qt::StrongFocus);
  up_ = MakeArrowButton(Qt::UpArrow, +1);
  down_ = MakeArrowButton(Qt::DownArrow, -1);
  up_->setObjectName(QStringLiteral("UpButton"));
  down_->setObjectName(QStringLiteral("DownButton"));
  setTextMargins(0, 0, kArrowButtonWidth, 0);
}

QToolButton* SpinEdit::MakeArrowButton(Qt::ArrowType arrow, int delta) {
  auto* button = new QToolButton(this);
  button->setArrowType(arrow);
  button->setFocusPolicy(Qt::NoFocus);
  button->setCursor(Qt::ArrowCursor);
  button->setAutoRepeat(true);
  button->setAutoRepeatDelay(kRepeatDelayMs);
  button->setAutoRepeatInterval(kRepeatIntervalMs);
  // Pressing an arrow puts the focus into the field, as typing would.
  connect(button, &QToolButton::pressed, this, [this] { setFocus(Qt::MouseFocusReason); });
  connect(button, &QToolButton::clicked, this, [this, delta] { StepBy(delta); });
  return button;
}

void SpinEdit::SetRange(std::int32_t minimum, std::int32_t maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
}

std::int32_t SpinEdit::Value() const {
  return ParseInteger(text().toStdString()).value_or(minimum_);
}

void SpinEdit::SetValue(std::int64_t value) {
  setText(QString::number(std::clamp<std::int64_t>(value, minimum_, maximum_)));
}

void SpinEdit::StepBy(int delta) {
  SetValue(std::int64_t{Value()} + delta);
}

void SpinEdit::SetBeepHandler(std::function<void()> handler) {
  BeepHandler() = std::move(handler);
}

bool SpinEdit::AcceptsTyped(const QString& text) const {
  const QString separator = locale().decimalPoint();
  for (const QChar c : text) {
    const bool accepted = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('+') ||
                          c == QLatin1Char('-') || separator == QString(c);
    if (!accepted) return false;
  }
  return true;
}

void SpinEdit::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Up:
      StepBy(+1);
      return;
    case Qt::Key_Down:
      StepBy(-1);
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      Beep();
      return;
    default:
      break;
  }
  const QString typed = event->text();
  const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  const bool printable = !typed.isEmpty() && std::all_of(typed.begin(), typed.end(), [](QChar c) {
    return c.unicode() >= 0x20 && c.unicode() != 0x7F;
  });
  if (printable && !shortcut && !AcceptsTyped(typed)) {
    Beep();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void SpinEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // Another window becoming active or a popup menu opening does not move the focus off the field.
  if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason) return;
  const std::int32_t value = Value();
  if (value < minimum_ || value > maximum_) SetValue(value);
}

void SpinEdit::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  const int frame = 2;
  const int inner = height() - 2 * frame;
  const int upHeight = inner / 2;
  const int left = width() - frame - kArrowButtonWidth;
  up_->setGeometry(left, frame, kArrowButtonWidth, upHeight);
  down_->setGeometry(left, frame + upHeight, kArrowButtonWidth, inner - upHeight);
}

}  // namespace mozenta
