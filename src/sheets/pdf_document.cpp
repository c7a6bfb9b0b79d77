#include "pdf_document.h"

#include <cairo-pdf.h>

#include <new>

#include "picture/errors.h"
#include "valid_utf8.h"

namespace mozenta {

PdfDocument::PdfDocument(BufferedOutput& file) : file_(file) {
  surface_ = cairo_pdf_surface_create_for_stream(&PdfDocument::Write, this, 595, 842);
  cr_ = cairo_create(surface_);
  try {
    ThrowIfFailed();
  } catch (...) {
    dropped_ = true;
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
    throw;
  }
}

PdfDocument::~PdfDocument() {
  // Destroying an unfinished surface finishes it, writing the rest of a document nobody wants.
  dropped_ = true;
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

cairo_status_t PdfDocument::Write(void* closure, const unsigned char* data, unsigned int length) {
  auto* document = static_cast<PdfDocument*>(closure);
  if (document->dropped_ || document->fileError_) return CAIRO_STATUS_WRITE_ERROR;
  // No exception may cross cairo's frames: it waits here until the drawing call has returned.
  try {
    document->file_.Write({reinterpret_cast<const char*>(data), length});
  } catch (...) {
    document->fileError_ = std::current_exception();
    return CAIRO_STATUS_WRITE_ERROR;
  }
  return CAIRO_STATUS_SUCCESS;
}

void PdfDocument::ThrowIfFailed() {
  if (fileError_) std::rethrow_exception(fileError_);
  cairo_status_t status = cairo_surface_status(surface_);
  if (status == CAIRO_STATUS_SUCCESS) status = cairo_status(cr_);
  if (status == CAIRO_STATUS_SUCCESS) return;
  if (status == CAIRO_STATUS_NO_MEMORY) throw std::bad_alloc();
  throw Exception(MessageText(MessageId::kSheetsFailed, cairo_status_to_string(status)));
}

void PdfDocument::SetTitle(const std::string& utf8) {
  cairo_pdf_surface_set_metadata(surface_, CAIRO_PDF_METADATA_TITLE, ValidUtf8(utf8).c_str());
  cairo_pdf_surface_set_metadata(surface_, CAIRO_PDF_METADATA_CREATOR, "Mozenta");
}

cairo_t* PdfDocument::BeginPage(double width, double height) {
  cairo_pdf_surface_set_size(surface_, width, height);
  return cr_;
}

void PdfDocument::EndPage() {
  cairo_show_page(cr_);
  ++pages_;
  ThrowIfFailed();
}

void PdfDocument::AddOutline(const std::string& utf8, int page) {
  const std::string link = "page=" + std::to_string(page);
  cairo_pdf_surface_add_outline(surface_, CAIRO_PDF_OUTLINE_ROOT, ValidUtf8(utf8).c_str(), link.c_str(),
                                static_cast<cairo_pdf_outline_flags_t>(0));
}

void PdfDocument::Finish() {
  cairo_surface_finish(surface_);
  ThrowIfFailed();
}

}  // namespace mozenta
