// SpinEdit: a one-line integer field with a pair of small arrow buttons at its right edge.
//
// Typing accepts only "0".."9", "+", "-" and the locale's decimal separator; any other character, and
// Enter, is refused with a beep. Cut and paste are not filtered, so the text can hold anything. Reading the
// value does not clamp it; stepping and leaving the field do.
#pragma once

#include <QLineEdit>
#include <cstdint>
#include <functional>

class QToolButton;

namespace mozenta {

class SpinEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit SpinEdit(QWidget* parent = nullptr);

  void SetRange(std::int32_t minimum, std::int32_t maximum);
  std::int32_t MinValue() const { return minimum_; }
  std::int32_t MaxValue() const { return maximum_; }

  // The text read as a signed decimal integer; the minimum when it is empty, not an integer or beyond 32
  // bits. Never clamped.
  std::int32_t Value() const;
  // Writes `value`, clamped into the range, as the text.
  void SetValue(std::int64_t value);
  // Adds `delta` to the value, clamps and writes the result back: the arrow buttons and keys.
  void StepBy(int delta);

  QToolButton* UpButton() const { return up_; }
  QToolButton* DownButton() const { return down_; }

  // Replaces the sound of a refused key (the system beep); nullptr restores it.
  static void SetBeepHandler(std::function<void()> handler);

  static constexpr int kRepeatDelayMs = 400;
  static constexpr int kRepeatIntervalMs = 100;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  bool AcceptsTyped(const QString& text) const;
  QToolButton* MakeArrowButton(Qt::ArrowType arrow, int delta);

  std::int32_t minimum_ = 0;
  std::int32_t maximum_ = 100;
  QToolButton* up_;
  QToolButton* down_;
};

}  // namespace mozenta
