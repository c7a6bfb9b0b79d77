#include "jpeg_decoder.h"

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

// jpeglib.h needs FILE and size_t declared before it, and jerror.h needs jpeglib.h.
#include <jpeglib.h>

#include <jerror.h>

#include "errors.h"
#include "pixel_store.h"

namespace mozenta {
namespace {

// Everything the library and our callbacks share during one decompression. The library reports an error by
// calling our error exit, which longjmps back to RunGuarded. That jump crosses only the library's own frames,
// the callbacks and the step functions below; all of them are plain C-style code that owns nothing with a
// destructor, so no C++ object is ever skipped. The exception is raised after RunGuarded has returned.
struct JpegSession {
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr errors;
  jpeg_source_mgr source;
  jpeg_progress_mgr progress;
  std::jmp_buf jump;

  // The stored bytes and how far they have been handed to the library.
  const JOCTET* bytes;
  std::size_t size;
  std::size_t offset;

  // Settings of this decode.
  int displayBitsPerPixel;

  // The rows of the target bitmap: row y starts at firstRow + y * rowStep.
  JSAMPLE* firstRow;
  std::ptrdiff_t rowStep;
  RowsReady* rows;    // told of the rows as they are decoded, when given
  bool fourChannels;  // the library gives C, M, Y, K; we write B, G, R

  // What ended the last step, and the warnings seen.
  int errorCode;
  bool tooManyScans;
  JpegDecodeNotes notes;
};

const JOCTET kFakeEndOfImage[2] = {0xFF, JPEG_EOI};

// A thread that follows the decoding is told of the rows this many at a time.
constexpr JDIMENSION kRowsPerNotice = 16;

JpegSession* SessionOf(j_common_ptr cinfo) {
  return static_cast<JpegSession*>(cinfo->client_data);
}
JpegSession* SessionOf(j_decompress_ptr cinfo) {
  return static_cast<JpegSession*>(cinfo->client_data);
}

extern "C" {

void ExitOnError(j_common_ptr cinfo) {
  JpegSession* session = SessionOf(cinfo);
  session->errorCode = cinfo->err->msg_code;
  std::longjmp(session->jump, 1);
}

// Warnings are counted and otherwise dropped; trace messages are ignored.
void NoteMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;
  JpegDecodeNotes& notes = SessionOf(cinfo)->notes;
  if (notes.warnings == 0) notes.firstWarningCode = cinfo->err->msg_code;
  if (cinfo->err->msg_code == JWRN_JPEG_EOF) notes.prematureEnd = true;
  ++notes.warnings;
  ++cinfo->err->num_warnings;
}

void OutputNothing(j_common_ptr) {}

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

// Hands the library the next piece of the stored bytes. Past the end it supplies an end-of-image marker with
// the premature-end warning, so a cut file decodes as far as its data goes; a file without a single byte is
// the library's empty-input error.
boolean FillInputBuffer(j_decompress_ptr cinfo) {
  JpegSession* session = SessionOf(cinfo);
  jpeg_source_mgr* source = cinfo->src;
  if (session->offset >= session->size) {
    if (session->size == 0) ERREXIT(cinfo, JERR_INPUT_EMPTY);
    WARNMS(cinfo, JWRN_JPEG_EOF);
    source->next_input_byte = kFakeEndOfImage;
    source->bytes_in_buffer = sizeof kFakeEndOfImage;
    return TRUE;
  }
  const std::size_t rest = session->size - session->offset;
  const std::size_t piece = rest < kJpegSourceChunkBytes ? rest : kJpegSourceChunkBytes;
  source->next_input_byte = session->bytes + session->offset;
  source->bytes_in_buffer = piece;
  session->offset += piece;
  return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
  if (count <= 0) return;
  JpegSession* session = SessionOf(cinfo);
  jpeg_source_mgr* source = cinfo->src;
  auto left = static_cast<std::size_t>(count);
  while (left > source->bytes_in_buffer) {
    left -= source->bytes_in_buffer;
    source->bytes_in_buffer = 0;
    // Nothing stored is left to skip over: the next read gets the end-of-image marker.
    if (session->offset >= session->size) return;
    FillInputBuffer(cinfo);
  }
  source->next_input_byte += left;
  source->bytes_in_buffer -= left;
}

void LimitScans(j_common_ptr cinfo) {
  JpegSession* session = SessionOf(cinfo);
  if (session->cinfo.input_scan_number > kJpegMaxScans) {
    session->tooManyScans = true;
    std::longjmp(session->jump, 1);
  }
}

}  // extern "C"

// The steps of a decompression, each run under RunGuarded.

void OpenAndReadHeader(JpegSession* session) {
  j_decompress_ptr cinfo = &session->cinfo;
  jpeg_create_decompress(cinfo);
  cinfo->mem->max_memory_to_use = kJpegMaxLibraryMemory;
  cinfo->src = &session->source;
  cinfo->progress = &session->progress;
  jpeg_read_header(cinfo, TRUE);
}

void ChooseOutput(JpegSession* session) {
  j_decompress_ptr cinfo = &session->cinfo;
  cinfo->scale_num = 1;
  cinfo->scale_denom = 1;
  cinfo->do_block_smoothing = TRUE;
  cinfo->dct_method = JDCT_FLOAT;
  cinfo->buffered_image = FALSE;
  bool quantise = session->displayBitsPerPixel <= 8;
  switch (cinfo->out_color_space) {
    case JCS_GRAYSCALE:
      quantise = true;
      break;
    case JCS_RGB:
      break;
    case JCS_CMYK:
      session->fourChannels = true;
      break;
    default:
      // Asking for RGB lets the library refuse a colour space it cannot convert, with its own code.
      cinfo->out_color_space = JCS_RGB;
      break;
  }
  if (quantise) {
    cinfo->quantize_colors = TRUE;
    cinfo->desired_number_of_colors = kJpegQuantisedColours;
  } else if (cinfo->out_color_space == JCS_RGB) {
    // The same colours, delivered in the order of a bitmap row.
    cinfo->out_color_space = JCS_EXT_BGR;
  }
  jpeg_calc_output_dimensions(cinfo);
}

void Start(JpegSession* session) {
  jpeg_start_decompress(&session->cinfo);
}

void ConvertFourChannelRow(const JSAMPLE* cmyk, JSAMPLE* bgr, JDIMENSION width) {
  for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
    const Rgb8 rgb = CmykToRgb(cmyk[0], cmyk[1], cmyk[2], cmyk[3]);
    bgr[0] = rgb.blue;
    bgr[1] = rgb.green;
    bgr[2] = rgb.red;
  }
}

void ReadRowsAndFinish(JpegSession* session) {
  j_decompress_ptr cinfo = &session->cinfo;
  JSAMPROW fourChannelRow = nullptr;
  if (session->fourChannels && !cinfo->quantize_colors) {
    fourChannelRow = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                                 cinfo->output_width * 4, 1)[0];
  }
  while (cinfo->output_scanline < cinfo->output_height) {
    JSAMPROW row = session->firstRow + static_cast<std::ptrdiff_t>(cinfo->output_scanline) * session->rowStep;
    JSAMPROW destination = fourChannelRow != nullptr ? fourChannelRow : row;
    // Our source never suspends, so only a library fault gives no row; finishing then reports it.
    if (jpeg_read_scanlines(cinfo, &destination, 1) != 1) break;
    if (fourChannelRow != nullptr) ConvertFourChannelRow(fourChannelRow, row, cinfo->output_width);
    if (session->rows != nullptr && cinfo->output_scanline % kRowsPerNotice == 0) {
      session->rows->Publish(static_cast<int>(cinfo->output_scanline));
    }
  }
  if (session->rows != nullptr) session->rows->Publish(static_cast<int>(cinfo->output_scanline));
  jpeg_finish_decompress(cinfo);
}

// Runs one step; false when the library (or the scan limit) ended it with a longjmp.
bool RunGuarded(JpegSession* session, void (*step)(JpegSession*)) {
  if (setjmp(session->jump) != 0) return false;
  step(session);
  return true;
}

// Owns one session and its decompressor, which it destroys on every path.
class Decompressor {
 public:
  Decompressor(std::span<const std::uint8_t> bytes, int displayBitsPerPixel)
      : session_(std::make_unique<JpegSession>()) {
    JpegSession& s = *session_;
    s.cinfo.err = jpeg_std_error(&s.errors);
    s.errors.error_exit = ExitOnError;
    s.errors.emit_message = NoteMessage;
    s.errors.output_message = OutputNothing;
    s.cinfo.client_data = &s;
    s.source.init_source = InitSource;
    s.source.fill_input_buffer = FillInputBuffer;
    s.source.skip_input_data = SkipInputData;
    s.source.resync_to_restart = jpeg_resync_to_restart;
    s.source.term_source = TermSource;
    s.progress.progress_monitor = LimitScans;
    s.bytes = bytes.data();
    s.size = bytes.size();
    s.displayBitsPerPixel = displayBitsPerPixel;
  }
  ~Decompressor() { jpeg_destroy_decompress(&session_->cinfo); }
  Decompressor(const Decompressor&) = delete;
  Decompressor& operator=(const Decompressor&) = delete;

  void Run(void (*step)(JpegSession*)) {
    if (RunGuarded(session_.get(), step)) return;
    if (session_->tooManyScans) throw EJPEG(MessageText(MessageId::kJpegTooManyScans));
    throw EJPEG(JpegErrorMessage(session_->errorCode));
  }

  JpegSession& Session() { return *session_; }
  jpeg_decompress_struct& Info() { return session_->cinfo; }

 private:
  std::unique_ptr<JpegSession> session_;
};

std::vector<RgbQuad> ColourTableFromMap(const jpeg_decompress_struct& cinfo, bool fourChannels) {
  std::vector<RgbQuad> table(static_cast<std::size_t>(cinfo.actual_number_of_colors));
  for (std::size_t i = 0; i < table.size(); ++i) {
    RgbQuad& entry = table[i];
    const auto component = [&](int c) { return static_cast<std::uint8_t>(cinfo.colormap[c][i]); };
    if (cinfo.out_color_components == 1) {
      entry.red = entry.green = entry.blue = component(0);
    } else if (fourChannels) {
      const Rgb8 rgb = CmykToRgb(component(0), component(1), component(2), component(3));
      entry.red = rgb.red;
      entry.green = rgb.green;
      entry.blue = rgb.blue;
    } else {
      entry.red = component(0);
      entry.green = component(1);
      entry.blue = component(2);
    }
  }
  return table;
}

}  // namespace

std::string JpegErrorMessage(int messageCode) {
  return MessageText(MessageId::kJpegError, messageCode);
}

JpegHeaderInfo ReadJpegHeader(std::span<const std::uint8_t> bytes) {
  Decompressor decompressor(bytes, 24);
  decompressor.Run(OpenAndReadHeader);
  const jpeg_decompress_struct& cinfo = decompressor.Info();
  return {static_cast<int>(cinfo.image_width), static_cast<int>(cinfo.image_height)};
}

JpegDecodeNotes DecodeJpegInto(std::span<const std::uint8_t> bytes, int displayBitsPerPixel, TBitmap& target,
                               RowsReady* rows) {
  Decompressor decompressor(bytes, displayBitsPerPixel);
  decompressor.Run(OpenAndReadHeader);
  decompressor.Run(ChooseOutput);
  const jpeg_decompress_struct& cinfo = decompressor.Info();
  const bool quantised = cinfo.quantize_colors;
  const int bitsPerPixel = quantised ? 8 : 24;

  // Refuse a picture too large for a bitmap before the library allocates its own buffers for it.
  const std::size_t stride = DibStride(cinfo.output_width, bitsPerPixel);
  if (stride == 0 || stride > kMaxPixelStoreBytes / cinfo.output_height) {
    throw EOutOfResources(MessageText(MessageId::kOutOfResources));
  }

  decompressor.Run(Start);
  DibFormat format;
  format.width = static_cast<std::int32_t>(cinfo.output_width);
  format.height = static_cast<std::int32_t>(cinfo.output_height);
  format.bitsPerPixel = static_cast<std::uint16_t>(bitsPerPixel);
  if (quantised) format.colorTable = ColourTableFromMap(cinfo, decompressor.Session().fourChannels);
  target.CreateDib(std::move(format));

  JpegSession& session = decompressor.Session();
  session.firstRow = target.ScanLineForWrite(0);
  session.rowStep =
      target.TopDown() ? static_cast<std::ptrdiff_t>(stride) : -static_cast<std::ptrdiff_t>(stride);
  session.rows = rows;
  if (rows != nullptr) rows->Publish(0);
  decompressor.Run(ReadRowsAndFinish);
  target.PixelsChanged();
  return session.notes;
}

}  // namespace mozenta
