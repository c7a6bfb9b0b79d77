#include "color_dialog.h"

#include <QColorDialog>

#include "mosaic/palette.h"

namespace mozenta {

void ColorDialog::UseBasicForm(QColorDialog& dialog) {
  for (QWidget* child : dialog.findChildren<QWidget*>()) {
    if (child->inherits("QColorPicker") || child->inherits("QColorLuminancePicker")) child->hide();
  }
}

bool ColorDialog::Execute(QWidget* parent) {
  std::vector<QColor> customColors;
  for (int i = 0; i < QColorDialog::customCount(); ++i)
    customColors.push_back(QColorDialog::customColor(i));

  QColorDialog dialog(parent);
  dialog.setObjectName(objectName_);
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  std::uint8_t rgb[3];
  SplitColor(color_, rgb);
  dialog.setCurrentColor(QColor(rgb[0], rgb[1], rgb[2]));
  UseBasicForm(dialog);

  if (dialog.exec() != QDialog::Accepted) {
    for (int i = 0; i < static_cast<int>(customColors.size()); ++i)
      QColorDialog::setCustomColor(i, customColors[i]);
    return false;
  }
  const QColor chosen = dialog.selectedColor();
  color_ = PackColor(chosen.red(), chosen.green(), chosen.blue());
  return true;
}

}  // namespace mozenta
