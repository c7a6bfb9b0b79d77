// How the conversion matches colours and hands on the error. The defaults are the classic conversion.
#pragma once

namespace mozenta {

enum class ColorMatch {
  kClassic,     // squared distance between the top four bits of each channel
  kPerceptual,  // CIEDE2000 between the 8-bit colour and each entry
};

enum class Diffusion {
  kClassic,  // a third of the error right and a third down
  kFloydSteinberg,
  kAtkinson,
  kSierraLite,
  kNone,
};

struct ConversionOptions {
  ColorMatch match = ColorMatch::kClassic;
  Diffusion diffusion = Diffusion::kClassic;
  bool serpentine = false;  // odd rows right to left, the kernel mirrored
};

}  // namespace mozenta
