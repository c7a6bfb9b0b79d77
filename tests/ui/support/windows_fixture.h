// Fixtures that create the program's four windows, hidden, as start-up does, and destroy them after the
// test; the palette and the grid start from their state at start-up.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <memory>

#include "ui/program_windows.h"

namespace mozenta::testing {

class WindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    windows_ = std::make_unique<ProgramWindows>();
    mainWindow = windows_->mainWindow.get();
    sourceWindow = windows_->sourceWindow.get();
    mosaicWindow = windows_->mosaicWindow.get();
    paletteDialog = windows_->paletteDialog.get();
    advancedSettingsWindow = windows_->advancedSettingsWindow.get();
  }
  void TearDown() override { windows_.reset(); }

  MainWindow* mainWindow = nullptr;
  SourceWindow* sourceWindow = nullptr;
  MosaicWindow* mosaicWindow = nullptr;
  PaletteDialog* paletteDialog = nullptr;
  AdvancedSettingsWindow* advancedSettingsWindow = nullptr;

 private:
  std::unique_ptr<ProgramWindows> windows_;
};

// The same, with the main window shown and active, as the user finds it after start-up.
class MainWindowShownTest : public WindowsTest {
 protected:
  void SetUp() override {
    WindowsTest::SetUp();
    mainWindow->show();
    mainWindow->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(mainWindow));
  }
};

// The program's window with the designer's name `objectName` ("Form1" … "Form4"), if it exists now.
inline DesignedWindow* FindWindow(const char* objectName) {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    auto* designed = qobject_cast<DesignedWindow*>(window);
    if (designed != nullptr && designed->objectName() == QLatin1String(objectName)) return designed;
  }
  return nullptr;
}

}  // namespace mozenta::testing
