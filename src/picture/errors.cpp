#include "errors.h"

namespace mozenta {

std::string WithFinalStop(const std::string& message) {
  // The last byte of a UTF-8 multi-byte character is 0x80 or above, like the lead byte of its Shift_JIS
  // form, so comparing the last byte decides the same way for every character.
  if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.')) {
    return message + ".";
  }
  return message;
}

}  // namespace mozenta
