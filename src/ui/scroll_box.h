// ScrollBox: the client area of a window that scrolls automatically. When a visible control reaches past
// the area, scroll bars appear and the scroll range ends at the controls' right and bottom edges; the
// window itself keeps its size.
#pragma once

#include <QScrollArea>

namespace mozenta {

class ScrollBox : public QScrollArea {
  Q_OBJECT

 public:
  explicit ScrollBox(QWidget* parent = nullptr);

  // The widget the controls are placed on, in client coordinates.
  QWidget* Client() const { return client_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void UpdateRange();

  QWidget* client_;
};

}  // namespace mozenta
