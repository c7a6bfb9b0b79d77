// The GUI tests run inside one application object on Qt's offscreen platform, set up like the program's.
#include <gtest/gtest.h>

#include <QtGlobal>

#include "ui/application_setup.h"
#include "ui/error_handler.h"
#include "ui/system_locale.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  mozenta::JapaneseSystemLocale japanese;
  mozenta::ErrorReportingApplication application(argc, argv);
  japanese.End();
  mozenta::SetUpApplication(application);
  return RUN_ALL_TESTS();
}
