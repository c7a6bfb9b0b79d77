#include "messages.h"

#include <initializer_list>

namespace mozenta {
namespace {

constexpr std::string_view kTemplates[] = {
#define MOZENTA_MESSAGE_TEXT(id, text) text,
    MOZENTA_MESSAGES(MOZENTA_MESSAGE_TEXT)
#undef MOZENTA_MESSAGE_TEXT
};

// The text as the table holds it, placeholders included.
std::string_view MessageTemplate(MessageId id) {
  return kTemplates[static_cast<std::size_t>(id)];
}

std::string Fill(MessageId id, std::initializer_list<std::string_view> arguments) {
  const std::string_view text = MessageTemplate(id);
  std::string out;
  out.reserve(text.size() + 32);
  auto next = arguments.begin();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool placeholder =
        text[i] == '%' && i + 1 < text.size() && (text[i + 1] == 's' || text[i + 1] == 'd');
    if (placeholder && next != arguments.end()) {
      out += *next++;
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

std::string MessageText(MessageId id) {
  return Fill(id, {});
}

std::string MessageText(MessageId id, std::string_view argument) {
  return Fill(id, {argument});
}

std::string MessageText(MessageId id, std::string_view first, std::string_view second) {
  return Fill(id, {first, second});
}

std::string MessageText(MessageId id, long long number) {
  return Fill(id, {std::to_string(number)});
}

}  // namespace mozenta
