#include "shift_jis.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

#include "picture/errors.h"

namespace mozenta {
namespace {

class Converter {
 public:
  Converter() : cd_(iconv_open("CP932", "UTF-8")) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw Exception(MessageText(MessageId::kNoShiftJisConverter));
    }
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  iconv_t Get() const { return cd_; }

 private:
  iconv_t cd_;
};

// Bytes of the well-formed UTF-8 character at the start of `text`, or 0 when it does not start with one.
std::size_t Utf8CharLength(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length;
  std::uint32_t code;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i) & 0x3F);
  }
  const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
  const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  if (overlong || surrogate || code > 0x10FFFF) return 0;
  return length;
}

}  // namespace

std::string Utf8ToShiftJis(std::string_view utf8) {
  Converter converter;
  // One to four UTF-8 bytes become one or two Shift_JIS bytes, or one "?", so the input's size suffices;
  // the loop grows the output all the same should the converter ask for more room.
  std::string out(utf8.size() + 4, '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size();
  std::size_t used = 0;
  while (inLeft > 0) {
    char* outPtr = out.data() + used;
    std::size_t outLeft = out.size() - used;
    const std::size_t result = iconv(converter.Get(), &in, &inLeft, &outPtr, &outLeft);
    const int error = errno;
    used = out.size() - outLeft;
    if (result != static_cast<std::size_t>(-1)) break;
    if (error == E2BIG || outLeft == 0) {
      out.resize(out.size() * 2);
      if (error == E2BIG) continue;
    }
    if (error != EILSEQ && error != EINVAL)
      throw Exception(MessageText(MessageId::kShiftJisConversionFailed));
    // Unconvertible or malformed: one "?" for the character, or for the single stray byte.
    const std::size_t length = Utf8CharLength(std::string_view(in, inLeft));
    const std::size_t skip = length != 0 ? length : 1;
    out[used++] = '?';
    in += skip;
    inLeft -= skip;
  }
  out.resize(used);
  return out;
}

}  // namespace mozenta
