// The entry of mozenta-pdf.so.
#include <cstring>

#include "pdf_module.h"
#include "picture/program_module.h"
#include "sheet_writer.h"

namespace {

std::unique_ptr<mozenta::WalkedOutput> MakeSheetWriter(const mozenta::MosaicGrid& grid,
                                                       mozenta::SheetContent content, std::stop_token stop) {
  return std::make_unique<mozenta::SheetWriter>(grid, std::move(content), std::move(stop));
}

}  // namespace

extern "C" __attribute__((visibility("default"))) const mozenta::PdfModule* mozenta_pdf_module(
    const char* build) {
  static constexpr mozenta::PdfModule kTable{MakeSheetWriter};
  return std::strcmp(build, mozenta::ModuleBuild()) == 0 ? &kTable : nullptr;
}
