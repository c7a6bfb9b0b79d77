#include "graphic.h"

#include <string>

#include "errors.h"

namespace mozenta {

void TGraphic::AssignTo(TBitmap& /*target*/) const {
  throw EConvertError(std::string(ClassName()) + " を TBitmap に代入することはできません");
}

}  // namespace mozenta
