#include "message_box.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QScreen>
#include <QSpacerItem>
#include <algorithm>

#include "application_setup.h"

namespace mozenta {

int CaptionedWidth(const QString& caption) {
  // The window manager's title font is not known here; the application's font in bold is near it.
  QFont titleFont = QApplication::font();
  titleFont.setBold(true);
  return QFontMetrics(titleFont).horizontalAdvance(caption) + kTitleBarRoom;
}

namespace {

// Qt sizes a box for its text and buttons, and leaves the caption too little room. A strut across the
// bottom of the box's grid widens it; the box stays within the screen.
void WidenForCaption(QMessageBox& box) {
  int width = CaptionedWidth(box.windowTitle());
  if (const QScreen* screen = box.screen()) width = std::min(width, screen->availableGeometry().width() / 2);
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0,
                  1, grid->columnCount());
  }
}

}  // namespace

void ShowMessageBox(QMessageBox::Icon icon, const QString& text, const QString& objectName) {
  QMessageBox box(icon, ApplicationTitleText(), text, QMessageBox::Ok);
  box.setObjectName(objectName);
  WidenForCaption(box);
  box.exec();
}

bool AskQuestion(const QString& text, const QString& objectName) {
  QMessageBox box(QMessageBox::Question, ApplicationTitleText(), text, QMessageBox::Yes | QMessageBox::No);
  box.setObjectName(objectName);
  box.setDefaultButton(QMessageBox::No);
  WidenForCaption(box);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace mozenta
