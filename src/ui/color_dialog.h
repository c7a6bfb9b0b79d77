// ColorDialog: the colour-choice dialog of the palette dialog. It opens in its basic form (the colour
// field and the luminance strip hidden), preset with the colour last chosen in it (black the first time).
// Custom colours the user defines stay for the rest of the run when the dialog closes with OK; after a
// cancel the custom colours of the last OK return.
#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <vector>

class QColorDialog;
class QWidget;

namespace mozenta {

// Where a dialog of outer size `dialog` goes beside the window whose outer bounds are `owner`, within the
// `screen` area: right of the window if it fits there, else left of it, else as far right as the screen
// allows, so that it covers the window's right part rather than its left; its top at the window's top,
// moved up as far as needed to end within the screen. The top-left corner of the dialog's outer bounds.
QPoint PlaceBeside(const QRect& owner, QSize dialog, const QRect& screen);

class ColorDialog {
 public:
  explicit ColorDialog(QString objectName) : objectName_(std::move(objectName)) {}

  // The colour last chosen, packed 0x00BBGGRR.
  std::uint32_t Color() const { return color_; }

  // Shows the dialog modally beside `parent`'s window, so that it hides none of its swatches; true, with
  // Color updated, when the user closed it with OK.
  bool Execute(QWidget* parent);

  // Hides the colour field and the luminance strip of `dialog`.
  static void UseBasicForm(QColorDialog& dialog);

 private:
  QString objectName_;
  std::uint32_t color_ = 0;
};

}  // namespace mozenta
