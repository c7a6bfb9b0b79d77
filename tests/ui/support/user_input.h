// What a user does with the mouse and the keyboard, through QtTest's input simulation.
#pragma once

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>

namespace mozenta::testing {

inline void Click(QAbstractButton* button) {
  QTest::mouseClick(button, Qt::LeftButton);
}

// Clicks into `edit`, deletes its text and types `text` key by key.
inline void TypeInto(QLineEdit* edit, const char* text) {
  edit->setFocus(Qt::MouseFocusReason);
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClicks(edit, QString::fromLatin1(text));
}

}  // namespace mozenta::testing
