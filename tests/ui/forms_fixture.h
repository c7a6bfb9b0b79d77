// A fixture that creates the program's four windows, hidden, as start-up does, and destroys them after
// the test; the palette and the grid start from their state at start-up.
#pragma once

#include <gtest/gtest.h>

#include <QTest>

#include "ui/forms.h"
#include "ui/main_window.h"
#include "ui/mosaic_window.h"
#include "ui/palette_dialog.h"
#include "ui/source_window.h"

namespace mozenta::testing {

class FormsTest : public ::testing::Test {
 protected:
  void SetUp() override { CreateForms(); }
  void TearDown() override { DestroyForms(); }
};

// The same, with the main window shown and active, as the user finds it after start-up.
class MainWindowShownTest : public FormsTest {
 protected:
  void SetUp() override {
    FormsTest::SetUp();
    Form1->show();
    Form1->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form1));
  }
};

}  // namespace mozenta::testing
