// ColorDialog: the colour-choice dialog of the palette dialog. It opens in its basic form (the colour
// field and the luminance strip hidden), preset with the colour last chosen in it (black the first time).
// Custom colours the user defines stay for the rest of the run when the dialog closes with OK; after a
// cancel the custom colours of the last OK return.
#pragma once

#include <QColor>
#include <QString>
#include <cstdint>
#include <vector>

class QColorDialog;
class QWidget;

namespace mozenta {

class ColorDialog {
 public:
  explicit ColorDialog(QString objectName) : objectName_(std::move(objectName)) {}

  // The colour last chosen, packed 0x00BBGGRR.
  std::uint32_t Color() const { return color_; }

  // Shows the dialog modally; true, with Color updated, when the user closed it with OK.
  bool Execute(QWidget* parent);

  // Hides the colour field and the luminance strip of `dialog`.
  static void UseBasicForm(QColorDialog& dialog);

 private:
  QString objectName_;
  std::uint32_t color_ = 0;
};

}  // namespace mozenta
