// A PDF document drawn with cairo and written through one of our files, page by page: each page leaves for
// the file when it is finished, so a document of ten thousand pages needs no more memory than one of ten.
// A failure of the file comes back as the file's own error (EInOutError), after the drawing call that met
// it; cairo's own failures as "PDF を作成できません" with cairo's reason, or std::bad_alloc.
#pragma once

#include <cairo.h>

#include <exception>
#include <string>

#include "mosaic/buffered_output.h"

namespace mozenta {

class PdfDocument {
 public:
  // Starts the document in `file`, which must outlive it.
  explicit PdfDocument(BufferedOutput& file);
  // A document not finished is dropped: nothing more is written to the file.
  ~PdfDocument();
  PdfDocument(const PdfDocument&) = delete;
  PdfDocument& operator=(const PdfDocument&) = delete;

  void SetTitle(const std::string& utf8);

  // Starts a page of `width` × `height` points and returns the context to draw it with, in points from its
  // top left corner.
  cairo_t* BeginPage(double width, double height);
  // Sends the page to the file.
  void EndPage();
  // The pages ended so far.
  int Pages() const { return pages_; }
  // An entry of the viewer's table of contents for page `page` (from 1).
  void AddOutline(const std::string& utf8, int page);

  // Writes the fonts and the document's index and ends the document.
  void Finish();

 private:
  static cairo_status_t Write(void* closure, const unsigned char* data, unsigned int length);
  void ThrowIfFailed();

  BufferedOutput& file_;
  std::exception_ptr fileError_;
  bool dropped_ = false;
  cairo_surface_t* surface_ = nullptr;
  cairo_t* cr_ = nullptr;
  int pages_ = 0;
};

}  // namespace mozenta
