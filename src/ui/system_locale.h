// Qt's own dialogs (file, colour, message) format dates, sizes and kinds of file for Japan, like the rest
// of the program, whatever the session's locale. Qt takes its system locale from the LC_ALL, LC_* and LANG
// variables once, when it is first needed; JapaneseSystemLocale names Japan in them while the application
// object is made and Qt reads them, then gives the session back its variables and the C library its locale.
#pragma once

#include <QByteArray>
#include <QLocale>
#include <optional>
#include <utility>
#include <vector>

namespace mozenta {

class JapaneseSystemLocale {
 public:
  // Before the application object is made.
  JapaneseSystemLocale();
  // After it is made: Qt reads its system locale now, and the session's variables come back.
  void End();
  ~JapaneseSystemLocale() { End(); }

  JapaneseSystemLocale(const JapaneseSystemLocale&) = delete;
  JapaneseSystemLocale& operator=(const JapaneseSystemLocale&) = delete;

 private:
  std::vector<std::pair<const char*, std::optional<QByteArray>>> saved_;
  bool ended_ = false;
};

// The locale of the session's numbers (LC_ALL, else LC_NUMERIC, else LANG, as Qt reads them), for what the
// user types: the block-size fields accept its decimal separator.
QLocale SessionLocale();

}  // namespace mozenta
