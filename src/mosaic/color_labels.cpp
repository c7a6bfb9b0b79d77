#include "color_labels.h"

namespace mozenta {

const ColorLabels& DefaultColorLabels() {
  static const ColorLabels kDefaults = {"黒", "青", "赤", "紫", "緑", "水", "黄", "白"};
  return kDefaults;
}

}  // namespace mozenta
