#include "scroll_box.h"

#include <QChildEvent>
#include <QEvent>

namespace mozenta {

ScrollBox::ScrollBox(QWidget* parent) : QScrollArea(parent), client_(new QWidget) {
  setFrameShape(QFrame::NoFrame);
  setWidgetResizable(false);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setBackgroundRole(QPalette::Window);
  viewport()->setBackgroundRole(QPalette::Window);
  client_->resize(0, 0);
  client_->installEventFilter(this);
  setWidget(client_);
}

bool ScrollBox::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ChildAdded:
      if (watched == client_) {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (child->isWidgetType()) child->installEventFilter(this);
      }
      break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
      if (watched != client_) UpdateRange();
      break;
    default:
      break;
  }
  return QScrollArea::eventFilter(watched, event);
}

void ScrollBox::UpdateRange() {
  QRect extent(0, 0, 0, 0);
  for (QObject* child : client_->children()) {
    auto* widget = qobject_cast<QWidget*>(child);
    if (widget != nullptr && !widget->isHidden()) extent |= widget->geometry();
  }
  const QSize size(std::max(0, extent.right() + 1), std::max(0, extent.bottom() + 1));
  if (client_->size() != size) client_->resize(size);
}

}  // namespace mozenta
