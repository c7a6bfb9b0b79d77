#include "sheet_writer.h"

#include <algorithm>
#include <cstring>

#include "block_page_plan.h"
#include "mosaic/cell_status.h"
#include "overview_page.h"
#include "picture/errors.h"
#include "totals_page.h"

namespace mozenta {

SheetWriter::SheetWriter(const MosaicGrid& grid, SheetContent content, std::stop_token stop)
    : grid_(grid),
      content_(std::move(content)),
      stop_(std::move(stop)),
      names_(shaper_),
      blockPages_(shaper_, names_, content_) {}

SheetWriter::~SheetWriter() = default;

void SheetWriter::StopIfAsked() const {
  if (stop_.stop_requested()) throw EAbort();
}

void SheetWriter::Begin(BufferedOutput& file) {
  document_ = std::make_unique<PdfDocument>(file);
  document_->SetTitle(content_.title);
}

void SheetWriter::Start(const BlockLayout& layout) {
  DrawOverviewPage(*document_, shaper_, names_, grid_, layout, content_);
  document_->AddOutline("全体図", 1);
  StopIfAsked();
}

void SheetWriter::StartBlock(const MosaicBlock& block) {
  cells_.resize(static_cast<std::size_t>(block.cells.columns) * static_cast<std::size_t>(block.cells.rows));
}

void SheetWriter::PutRows(const MosaicBlock& block, const CellRows& rows) {
  const std::size_t width = static_cast<std::size_t>(block.cells.columns);
  for (int r = 0; r < rows.count; ++r)
    std::memcpy(cells_.data() + static_cast<std::size_t>(rows.top + r) * width, rows.Row(r), width);
}

void SheetWriter::FinishBlock(const MosaicBlock& block) {
  const BlockPagePlan plan = PlanBlockPages(block.cells.columns, block.cells.rows, content_.options.page);
  document_->AddOutline(BlockName(block.column, block.row), document_->Pages() + 1);
  for (int part = 0; part < plan.Pages(); ++part) {
    blockPages_.Draw(*document_, block, cells_.data(), plan, part);
    StopIfAsked();
  }
}

void SheetWriter::Finish(const CellCounts& totals) {
  document_->AddOutline("合計", document_->Pages() + 1);
  DrawTotalsPage(*document_, shaper_, totals, content_);
}

void SheetWriter::Complete() {
  StopIfAsked();
  document_->Finish();
  // The fonts of a long document take a while; a stop meanwhile still keeps every file from its place.
  StopIfAsked();
}

}  // namespace mozenta
