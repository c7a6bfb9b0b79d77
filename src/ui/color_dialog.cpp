#include "color_dialog.h"

#include <QColorDialog>
#include <QScreen>
#include <algorithm>

#include "mosaic/palette.h"

namespace mozenta {

QPoint PlaceBeside(const QRect& owner, QSize dialog, const QRect& screen) {
  int left = owner.right() + 1;
  if (left + dialog.width() > screen.right() + 1) {
    if (owner.left() - dialog.width() >= screen.left()) {
      left = owner.left() - dialog.width();
    } else {
      left = std::max(screen.left(), screen.right() + 1 - dialog.width());
    }
  }
  const int top = std::max(screen.top(), std::min(owner.top(), screen.bottom() + 1 - dialog.height()));
  return {left, top};
}

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
  if (parent != nullptr && parent->window()->screen() != nullptr) {
    // Qt would centre the dialog over the palette dialog, on the swatch being edited.
    const QWidget* owner = parent->window();
    const QRect ownerOuter = owner->frameGeometry();
    const QMargins frame(
        owner->geometry().left() - ownerOuter.left(), owner->geometry().top() - ownerOuter.top(),
        ownerOuter.right() - owner->geometry().right(), ownerOuter.bottom() - owner->geometry().bottom());
    dialog.adjustSize();
    dialog.move(PlaceBeside(ownerOuter, dialog.size().grownBy(frame), owner->screen()->availableGeometry()));
  }

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
