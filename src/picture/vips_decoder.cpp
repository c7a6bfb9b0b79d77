#include "vips_decoder.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>

#include "byte_reader.h"
#include "errors.h"
#include "orientation.h"
#include "vips_bitmap.h"
#include "vips_runtime.h"

namespace mozenta {
namespace {

using vips::ImageRef;

// The file as libvips reads it: through our InputFile, so a picture in memory and a file on disk take the
// same path, and no copy of the file is made unless the format's loader wants one.
class FileSource {
 public:
  explicit FileSource(InputFile& file) : file_(file), source_(vips_source_custom_new()) {
    file_.Seek(0);
    g_signal_connect(source_, "read", G_CALLBACK(Read), this);
    g_signal_connect(source_, "seek", G_CALLBACK(Seek), this);
  }
  ~FileSource() {
    // The source may outlive us in a reference libvips still holds; it must not call back into a file
    // that is gone.
    g_signal_handlers_disconnect_by_data(source_, this);
    g_object_unref(source_);
  }
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  VipsSource* Source() const { return VIPS_SOURCE(source_); }
  // Whether a read asked for bytes past the end of the file since the last Forget.
  bool ReachedEnd() const { return reachedEnd_; }
  void ForgetEnd() { reachedEnd_ = false; }

 private:
  static gint64 Read(VipsSourceCustom*, void* buffer, gint64 length, gpointer self) {
    auto* source = static_cast<FileSource*>(self);
    if (length <= 0) return 0;
    try {
      const std::size_t got = source->file_.Read(buffer, static_cast<std::size_t>(length));
      if (got == 0) source->reachedEnd_ = true;
      return static_cast<gint64>(got);
    } catch (const Exception&) {
      return -1;
    }
  }
  static gint64 Seek(VipsSourceCustom*, gint64 offset, int whence, gpointer self) {
    InputFile& file = static_cast<FileSource*>(self)->file_;
    gint64 base;
    switch (whence) {
      case SEEK_SET:
        base = 0;
        break;
      case SEEK_CUR:
        base = static_cast<gint64>(file.Position());
        break;
      case SEEK_END:
        base = static_cast<gint64>(file.Size());
        break;
      default:
        return -1;
    }
    if (offset < -base || offset > G_MAXINT64 - base) return -1;
    file.Seek(static_cast<std::uint64_t>(base + offset));
    return base + offset;
  }

  InputFile& file_;
  VipsSourceCustom* source_;
  bool reachedEnd_ = false;
};

const char* LoaderNickname(LibraryFormat format) {
  switch (format) {
    case LibraryFormat::kPng:
      return "pngload_source";
    case LibraryFormat::kGif:
      return "gifload_source";
    case LibraryFormat::kTiff:
      return "tiffload_source";
    case LibraryFormat::kWebP:
      return "webpload_source";
    case LibraryFormat::kHeif:
      return "heifload_source";
  }
  return "";
}

// Reads the header only: sequential access, so pixels are decoded as the sink asks for them. Any error of
// the decoder fails the load, so a broken picture is refused rather than shown half grey.
VipsImage* OpenImage(LibraryFormat format, VipsSource* source) {
  VipsImage* image = nullptr;
  const auto access = VIPS_ACCESS_SEQUENTIAL;
  const auto failOn = VIPS_FAIL_ON_ERROR;
  int result = -1;
  switch (format) {
    case LibraryFormat::kPng:
      result = vips_pngload_source(source, &image, "access", access, "fail_on", failOn, nullptr);
      break;
    case LibraryFormat::kGif:
      result = vips_gifload_source(source, &image, "access", access, "fail_on", failOn, nullptr);
      break;
    case LibraryFormat::kTiff:
      result = vips_tiffload_source(source, &image, "access", access, "fail_on", failOn, nullptr);
      break;
    case LibraryFormat::kWebP:
      result = vips_webpload_source(source, &image, "access", access, "fail_on", failOn, nullptr);
      break;
    case LibraryFormat::kHeif:
      result = vips_heifload_source(source, &image, "access", access, "fail_on", failOn, nullptr);
      break;
  }
  return result == 0 ? image : nullptr;
}

[[noreturn]] void Refuse(MessageId message, LibraryFormat format) {
  throw EInvalidGraphic(MessageText(message, LibraryFormatName(format)));
}

bool Mentions(const std::string& lowerText, std::initializer_list<const char*> phrases) {
  return std::any_of(phrases.begin(), phrases.end(),
                     [&](const char* phrase) { return lowerText.find(phrase) != std::string::npos; });
}

// Whether the file ends before a place its header points to: the end of a WebP file's one RIFF chunk, or
// the end of a TIFF file's first image directory (libtiff checks that against the size without reading).
bool ShorterThanItsHeaderSays(LibraryFormat format, InputFile& file) {
  std::uint8_t header[12];
  file.Seek(0);
  if (file.Read(header, sizeof header) != sizeof header) return false;
  const std::string_view signature(reinterpret_cast<const char*>(header), 4);
  if (format == LibraryFormat::kWebP && signature == "RIFF") {
    return std::uint64_t{LoadU32(header + 4)} + 8 > file.Size();
  }
  const bool little = signature == std::string_view("II*\0", 4);
  if (format != LibraryFormat::kTiff || !(little || signature == std::string_view("MM\0*", 4))) return false;
  const std::uint64_t directory = little ? LoadU32(header + 4) : LoadU32BE(header + 4);
  std::uint8_t count[2];
  file.Seek(directory);
  if (file.Read(count, 2) != 2) return true;
  const std::uint64_t entries = little ? LoadU16(count) : LoadU16BE(count);
  return directory + 2 + entries * 12 + 4 > file.Size();
}

// PNG and TIFF are read piece by piece as decoding goes; the other loaders take the whole file at once.
bool ReadsWhileDecoding(LibraryFormat format) {
  return format == LibraryFormat::kPng || format == LibraryFormat::kTiff;
}

// Tells the user's reason for a failure of libvips from what it said and how far it read.
[[noreturn]] void RefuseAfterLibraryError(LibraryFormat format, InputFile& file, const FileSource& source) {
  std::string text = vips::TakeErrorText();
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (Mentions(text, {"unsupported", "not supported", "not implemented", "no decoding plugin"})) {
    Refuse(MessageId::kPictureUnsupported, format);
  }
  // Running into the end of the file while decoding means the data stopped early; the other loaders say
  // so themselves.
  const bool streamed = ReadsWhileDecoding(format);
  if ((streamed && source.ReachedEnd()) ||
      Mentions(text, {"end of", "not enough data", "truncated", "premature", "bad seek", "short read"}) ||
      ShorterThanItsHeaderSays(format, file)) {
    Refuse(MessageId::kPictureTruncated, format);
  }
  Refuse(MessageId::kPictureInvalid, format);
}

// Replaces `image` by the result of `operation` on it; false when libvips refuses.
template <typename Operation>
bool Apply(ImageRef& image, Operation operation) {
  VipsImage* out = nullptr;
  if (operation(image.get(), &out) != 0) return false;
  image.reset(out);
  return true;
}

// Transparency laid over white, in the picture's own colour space and depth: white is every channel at its
// maximum, or no ink at all for CMYK.
bool FlattenOverWhite(ImageRef& image) {
  const double maximum = image->BandFmt == VIPS_FORMAT_USHORT ? 65535.0 : 255.0;
  const double white = image->Type == VIPS_INTERPRETATION_CMYK ? 0.0 : maximum;
  double background[4] = {white, white, white, white};
  const int colourBands = std::min(image->Bands - 1, 4);
  VipsArrayDouble* array = vips_array_double_new(background, colourBands);
  const bool done = Apply(image, [&](VipsImage* in, VipsImage** out) {
    return vips_flatten(in, out, "background", array, "max_alpha", maximum, nullptr);
  });
  vips_area_unref(VIPS_AREA(array));
  return done;
}

bool IsPlainRgb8(const VipsImage* image) {
  return image->BandFmt == VIPS_FORMAT_UCHAR && image->Bands == 3 &&
         (image->Type == VIPS_INTERPRETATION_sRGB || image->Type == VIPS_INTERPRETATION_RGB ||
          image->Type == VIPS_INTERPRETATION_MULTIBAND);
}

// The picture as three 8-bit sRGB bands. Plain 8-bit RGB without a profile passes untouched.
bool ToSrgb8(ImageRef& image) {
  if (vips_image_hasalpha(image.get()) && !FlattenOverWhite(image)) return false;
  if (vips_image_get_typeof(image.get(), VIPS_META_ICC_NAME) != 0) {
    const bool converted = Apply(image, [](VipsImage* in, VipsImage** out) {
      return vips_icc_transform(in, out, "srgb", "embedded", TRUE, "depth", 8, nullptr);
    });
    // A profile the colour engine cannot use is ignored, as viewers do.
    if (!converted) vips::TakeErrorText();
  }
  if (!IsPlainRgb8(image.get())) {
    if (!Apply(image, [](VipsImage* in, VipsImage** out) {
          return vips_colourspace(in, out, VIPS_INTERPRETATION_sRGB, nullptr);
        })) {
      return false;
    }
  }
  if (image->BandFmt == VIPS_FORMAT_USHORT &&
      !Apply(image, [](VipsImage* in, VipsImage** out) { return vips_rshift_const1(in, out, 8, nullptr); })) {
    return false;
  }
  if (image->BandFmt != VIPS_FORMAT_UCHAR &&
      !Apply(image, [](VipsImage* in, VipsImage** out) { return vips_cast_uchar(in, out, nullptr); })) {
    return false;
  }
  if (image->Bands < 3) {
    return Apply(image, [](VipsImage* in, VipsImage** out) {
      VipsImage* grey = nullptr;
      if (vips_extract_band(in, &grey, 0, nullptr) != 0) return -1;
      VipsImage* bands[3] = {grey, grey, grey};
      const int result = vips_bandjoin(bands, out, 3, nullptr);
      g_object_unref(grey);
      return result;
    });
  }
  if (image->Bands > 3) {
    return Apply(
        image, [](VipsImage* in, VipsImage** out) { return vips_extract_band(in, out, 0, "n", 3, nullptr); });
  }
  return true;
}

}  // namespace

void DecodeWithVips(InputFile& file, LibraryFormat format, bool keepOrientation, TBitmap& target) {
  if (!vips::StartLibrary()) Refuse(MessageId::kPictureUnsupported, format);
  vips::TakeErrorText();
  FileSource source(file);
  if (!vips_foreign_is_a_source(LoaderNickname(format), source.Source())) {
    vips::TakeErrorText();
    Refuse(ShorterThanItsHeaderSays(format, file) ? MessageId::kPictureTruncated : MessageId::kPictureInvalid,
           format);
  }
  source.ForgetEnd();
  ImageRef image(OpenImage(format, source.Source()));
  if (!image) RefuseAfterLibraryError(format, file, source);

  const int width = image->Xsize, height = image->Ysize;
  const std::size_t stride = DibStride(width, 24);
  if (stride == 0 || stride > kMaxPixelStoreBytes / static_cast<std::size_t>(height)) {
    throw EInvalidGraphic(MessageText(MessageId::kPictureTooLarge, LibraryFormatName(format),
                                      std::to_string(width) + " × " + std::to_string(height)));
  }
  if (image->BandFmt != VIPS_FORMAT_UCHAR && image->BandFmt != VIPS_FORMAT_USHORT) {
    Refuse(MessageId::kPictureUnsupported, format);
  }
  // HEIF pictures come out of their decoder turned already; the Exif copy of the orientation only repeats
  // what the container said.
  const int orientation = keepOrientation || format == LibraryFormat::kHeif
                              ? kOrientationUpright
                              : vips_image_get_orientation(image.get());
  if (!ToSrgb8(image)) {
    vips::TakeErrorText();
    Refuse(MessageId::kPictureUnsupported, format);
  }
  TBitmap stored;
  // The PNG and TIFF decoders' errors on a worker thread do not always fail the sink (a PNG cut short
  // sometimes came through, its missing rows black): for them what the library said counts as well. The
  // HEIF decoder leaves remarks there even when it succeeds.
  const bool written = vips::WriteIntoBitmap(image.get(), stored);
  const bool streamed = ReadsWhileDecoding(format);
  if (!written || (streamed && vips_error_buffer()[0] != '\0')) RefuseAfterLibraryError(format, file, source);
  image.reset();
  MakeUpright(stored, orientation, target);
}

}  // namespace mozenta
