#include "graphic.h"

#include <string>

#include "errors.h"

namespace mozenta {

void TGraphic::AssignTo(TBitmap& /*target*/) const {
  throw EConvertError(MessageText(MessageId::kCannotAssign, ClassName(), "TBitmap"));
}

}  // namespace mozenta
