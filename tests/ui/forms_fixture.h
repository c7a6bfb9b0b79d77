// A fixture that creates the program's four windows, hidden, as start-up does, and destroys them after
// the test; the palette and the grid start from their state at start-up.
#pragma once

#include <gtest/gtest.h>

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

}  // namespace mozenta::testing
