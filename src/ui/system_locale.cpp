#include "system_locale.h"

#include <clocale>
#include <cstdlib>

namespace mozenta {
namespace {

// Every variable Qt's system locale reads; LC_ALL alone would do, the others go for a clean slate.
const char* const kLocaleVariables[] = {"LC_ALL",      "LC_NUMERIC",  "LC_TIME",
                                        "LC_MONETARY", "LC_MESSAGES", "LC_MEASUREMENT",
                                        "LC_COLLATE",  "LANG",        "LANGUAGE"};
constexpr const char* kJapanese = "ja_JP.UTF-8";

std::optional<QByteArray> Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::optional<QByteArray>(value) : std::nullopt;
}

QByteArray NumbersLocaleName() {
  for (const char* name : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
    const std::optional<QByteArray> value = Variable(name);
    if (value && !value->isEmpty()) return *value;
  }
  return "C";
}

QLocale& StoredSessionLocale() {
  static QLocale session = QLocale(QString::fromLatin1(NumbersLocaleName()));
  return session;
}

}  // namespace

JapaneseSystemLocale::JapaneseSystemLocale() {
  StoredSessionLocale();
  for (const char* name : kLocaleVariables) {
    saved_.emplace_back(name, Variable(name));
    unsetenv(name);
  }
  setenv("LC_ALL", kJapanese, 1);
}

void JapaneseSystemLocale::End() {
  if (ended_) return;
  ended_ = true;
  QLocale::system();  // read now, while the variables name Japan
  for (const auto& [name, value] : saved_) {
    if (value) {
      setenv(name, value->constData(), 1);
    } else {
      unsetenv(name);
    }
  }
  // The application object set the C library's locale from the Japanese variables.
  std::setlocale(LC_ALL, "");
}

QLocale SessionLocale() {
  return StoredSessionLocale();
}

}  // namespace mozenta
