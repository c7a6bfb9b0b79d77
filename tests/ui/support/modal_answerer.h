// Answers the modal dialogs that the code under test opens, in the order given, from the event loop the
// dialog itself runs. A modal dialog nobody expected is closed and fails the test, and an answered dialog
// still open after a few seconds is closed too, so no test waits forever.
#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <deque>
#include <functional>

namespace mozenta::testing {

class ModalAnswerer : public QObject {
 public:
  using Answer = std::function<void(QWidget* dialog)>;

  ModalAnswerer();
  ~ModalAnswerer() override;

  ModalAnswerer& Then(Answer answer);
  int Answered() const { return answered_; }
  int Pending() const { return static_cast<int>(answers_.size()); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void AnswerNext(QPointer<QWidget> dialog);

  std::deque<Answer> answers_;
  int answered_ = 0;
};

// Closes a dialog the way its close box or Cancel would.
void CancelDialog(QWidget* dialog);

// Common answers.
ModalAnswerer::Answer ChooseFile(const QString& path);
ModalAnswerer::Answer Cancel();
ModalAnswerer::Answer ChooseColor(QColor color);
// Clicks the push button named `objectName` in the dialog (a window of ours).
ModalAnswerer::Answer ClickButton(const char* objectName);
// Records the caption and text of a message box, then presses its one button.
ModalAnswerer::Answer ReadMessageBox(QString* caption, QString* text, int* icon = nullptr);
// Presses the button with the given role of a question box (Yes or No of a replace question).
ModalAnswerer::Answer AnswerQuestion(bool yes, QString* text = nullptr);

}  // namespace mozenta::testing
