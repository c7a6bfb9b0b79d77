// The printable sheets (PDF) as one more output of a save: the overview page when the walk starts, the pages
// of each block as the walk finishes it, in the walk's order, and the totals page at the end. Each page goes
// to the file as soon as it is made, so memory stays the same whatever the number of pages.
#pragma once

#include <cstdint>
#include <memory>
#include <stop_token>
#include <vector>

#include "block_name.h"
#include "block_page.h"
#include "mosaic/mosaic_grid.h"
#include "mosaic/walked_output.h"
#include "pdf_document.h"
#include "sheet_content.h"
#include "sheet_pages.h"
#include "text_shaper.h"

namespace mozenta {

class SheetWriter : public WalkedOutput {
 public:
  // A stop requested through `stop` ends the walk with EAbort once the page being made is done.
  SheetWriter(const MosaicGrid& grid, SheetContent content, std::stop_token stop = {});
  ~SheetWriter() override;

  std::string_view Extension() const override { return ".pdf"; }
  void Begin(BufferedOutput& file) override;
  void Start(const BlockLayout& layout) override;
  void StartBlock(const MosaicBlock& block) override;
  void PutRows(const MosaicBlock& block, const CellRows& rows) override;
  void FinishBlock(const MosaicBlock& block) override;
  void Finish(const CellCounts& totals) override;
  void Complete() override;

 private:
  void StopIfAsked() const;

  const MosaicGrid& grid_;
  const SheetContent content_;
  std::stop_token stop_;
  TextShaper shaper_;
  BlockNameShaper names_;
  BlockPageDrawer blockPages_;
  std::unique_ptr<PdfDocument> document_;
  std::vector<std::uint8_t> cells_;  // the block being walked, row by row
};

}  // namespace mozenta
