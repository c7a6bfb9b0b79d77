// The printable sheets as the rest of the program reaches them: a table in the module mozenta-pdf.so
// (picture/program_module.h), so that cairo, pango and the libraries they bring are bound only when a save
// first writes sheets.
#pragma once

#include <memory>
#include <stop_token>

#include "mosaic/mosaic_grid.h"
#include "mosaic/walked_output.h"
#include "sheet_content.h"

namespace mozenta {

struct PdfModule {
  // A SheetWriter (sheet_writer.h) of `grid`'s sheets, for a save to walk with its reports.
  std::unique_ptr<WalkedOutput> (*makeSheetWriter)(const MosaicGrid& grid, SheetContent content,
                                                   std::stop_token stop);
};

// The module's table, the module loaded on the first call from any thread. A program linked with the
// implementation itself (the tests) gets that instead. Throws Exception when the module cannot be had,
// again on every call until it can.
const PdfModule& LoadPdfModule();

}  // namespace mozenta

// The module's one entry: its table, or nullptr for a program of another build (ModuleBuild).
extern "C" const mozenta::PdfModule* mozenta_pdf_module(const char* build);
