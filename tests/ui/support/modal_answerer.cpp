#include "modal_answerer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace mozenta::testing {
namespace {

constexpr int kStillOpenLimitMs = 10000;

QString Describe(QWidget* dialog) {
  return QString::fromLatin1(dialog->metaObject()->className()) + QStringLiteral(" \"") +
         dialog->windowTitle() + QLatin1Char('"');
}

}  // namespace

ModalAnswerer::ModalAnswerer() {
  qApp->installEventFilter(this);
}

ModalAnswerer::~ModalAnswerer() {
  qApp->removeEventFilter(this);
  EXPECT_TRUE(answers_.empty()) << answers_.size() << " expected modal dialog(s) never appeared";
}

ModalAnswerer& ModalAnswerer::Then(Answer answer) {
  answers_.push_back(std::move(answer));
  return *this;
}

bool ModalAnswerer::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show && watched->isWidgetType()) {
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->isWindow() && widget->isModal()) {
      QPointer<QWidget> dialog(widget);
      QTimer::singleShot(0, this, [this, dialog] { AnswerNext(dialog); });
    }
  }
  return QObject::eventFilter(watched, event);
}

void ModalAnswerer::AnswerNext(QPointer<QWidget> dialog) {
  if (dialog == nullptr || !dialog->isVisible()) return;
  if (answers_.empty()) {
    ADD_FAILURE() << "unexpected modal dialog " << Describe(dialog).toStdString();
    CancelDialog(dialog);
    return;
  }
  Answer answer = std::move(answers_.front());
  answers_.pop_front();
  ++answered_;
  answer(dialog);
  QTimer::singleShot(kStillOpenLimitMs, this, [dialog] {
    if (dialog != nullptr && dialog->isVisible() && dialog->isModal()) {
      ADD_FAILURE() << "modal dialog still open after its answer: " << Describe(dialog).toStdString();
      CancelDialog(dialog);
    }
  });
}

void CancelDialog(QWidget* dialog) {
  if (auto* box = qobject_cast<QDialog*>(dialog)) {
    QMetaObject::invokeMethod(box, &QDialog::reject, Qt::QueuedConnection);
  } else {
    QMetaObject::invokeMethod(dialog, &QWidget::close, Qt::QueuedConnection);
  }
}

ModalAnswerer::Answer ChooseFile(const QString& path) {
  return [path](QWidget* dialog) {
    auto* files = qobject_cast<QFileDialog*>(dialog);
    ASSERT_NE(files, nullptr) << "expected a file dialog, got " << Describe(dialog).toStdString();
    // A shown dialog leaves the name alone while its name field has the focus, as it has on a desktop.
    if (QWidget* focus = files->focusWidget()) focus->clearFocus();
    files->selectFile(path);
    QMetaObject::invokeMethod(files, "accept", Qt::QueuedConnection);
  };
}

ModalAnswerer::Answer Cancel() {
  return [](QWidget* dialog) { CancelDialog(dialog); };
}

ModalAnswerer::Answer ChooseColor(QColor color) {
  return [color](QWidget* dialog) {
    auto* colors = qobject_cast<QColorDialog*>(dialog);
    ASSERT_NE(colors, nullptr) << "expected a colour dialog, got " << Describe(dialog).toStdString();
    colors->setCurrentColor(color);
    QMetaObject::invokeMethod(colors, &QColorDialog::accept, Qt::QueuedConnection);
  };
}

ModalAnswerer::Answer ClickButton(const char* objectName) {
  return [name = QString::fromLatin1(objectName)](QWidget* dialog) {
    auto* button = dialog->findChild<QPushButton*>(name);
    if (button == nullptr) {
      CancelDialog(dialog);
      FAIL() << "no button " << name.toStdString() << " in " << Describe(dialog).toStdString();
    }
    QTest::mouseClick(button, Qt::LeftButton);
  };
}

ModalAnswerer::Answer ReadMessageBox(QString* caption, QString* text, int* icon) {
  return [caption, text, icon](QWidget* dialog) {
    auto* box = qobject_cast<QMessageBox*>(dialog);
    if (box == nullptr) {
      CancelDialog(dialog);
      FAIL() << "expected a message box, got " << Describe(dialog).toStdString();
    }
    if (caption != nullptr) *caption = box->windowTitle();
    if (text != nullptr) *text = box->text();
    if (icon != nullptr) *icon = box->icon();
    const auto buttons = box->buttons();
    EXPECT_EQ(buttons.size(), 1) << "a message box of ours has one button";
    QMetaObject::invokeMethod(buttons.value(0), &QAbstractButton::click, Qt::QueuedConnection);
  };
}

ModalAnswerer::Answer AnswerQuestion(bool yes, QString* text) {
  return [yes, text](QWidget* dialog) {
    auto* box = qobject_cast<QMessageBox*>(dialog);
    if (box == nullptr) {
      CancelDialog(dialog);
      FAIL() << "expected a question, got " << Describe(dialog).toStdString();
    }
    if (text != nullptr) *text = box->text();
    QAbstractButton* button = box->button(yes ? QMessageBox::Yes : QMessageBox::No);
    ASSERT_NE(button, nullptr);
    QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
  };
}

}  // namespace mozenta::testing
