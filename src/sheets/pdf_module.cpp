#include "pdf_module.h"

#include "picture/module_table.h"

// Defined only where the implementation is linked into the program itself.
extern "C" __attribute__((weak)) const mozenta::PdfModule* mozenta_pdf_module(const char* build);

namespace mozenta {

const PdfModule& LoadPdfModule() {
  return ModuleTable<PdfModule>(mozenta_pdf_module, "mozenta-pdf.so", "mozenta_pdf_module");
}

}  // namespace mozenta
