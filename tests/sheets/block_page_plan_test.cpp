#include "sheets/block_page_plan.h"

#include <gtest/gtest.h>

#include <cmath>

namespace mozenta {
namespace {

struct PlanCase {
  const char* name;
  int columns, rows;
  PageSize page;
  int pages;
  bool landscape;
  int columnsPerPart, rowsPerPart;
};
void PrintTo(const PlanCase& c, std::ostream* os) {
  *os << c.name;
}

class BlockPagePlans : public ::testing::TestWithParam<PlanCase> {};

TEST_P(BlockPagePlans, TakeTheFewestPagesWithCellsOfAtLeastFourMillimetres) {
  const PlanCase& c = GetParam();
  const BlockPagePlan plan = PlanBlockPages(c.columns, c.rows, c.page);
  EXPECT_EQ(plan.Pages(), c.pages);
  EXPECT_EQ(plan.landscape, c.landscape);
  EXPECT_EQ(plan.columnsPerPart, c.columnsPerPart);
  EXPECT_EQ(plan.rowsPerPart, c.rowsPerPart);
  EXPECT_GE(plan.cell, 4 * kPointsPerMillimetre);
  EXPECT_LE(plan.cell, block_page::kMaxCell);
  EXPECT_EQ(std::fmod(plan.cell, block_page::kCellStep), 0);

  // The parts cover the block once, and each fits its page beside the numbers, under the header and above
  // the counts.
  const PaperSize sheet = PaperOf(c.page).Turned(plan.landscape);
  long cells = 0;
  for (int i = 0; i < plan.Pages(); ++i) {
    const BlockPart part = plan.Part(i, c.columns, c.rows);
    ASSERT_GT(part.columns, 0);
    ASSERT_GT(part.rows, 0);
    cells += long{part.columns} * part.rows;
    const CellsOrigin origin = PlaceCells(plan, part, c.page);
    EXPECT_GE(origin.left, block_page::kMargin + block_page::kRowNumbersWidth);
    EXPECT_LE(origin.left + part.columns * plan.cell, sheet.width - block_page::kMargin + 0.25);
    EXPECT_LE(origin.top + part.rows * plan.cell + block_page::kLegendHeight,
              sheet.height - block_page::kMargin + 0.25);
  }
  EXPECT_EQ(cells, long{c.columns} * c.rows);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, BlockPagePlans,
    ::testing::Values(PlanCase{"DefaultBlockOnA4", 40, 100, PageSize::kA4, 2, false, 40, 50},
                      PlanCase{"DefaultBlockOnLetter", 40, 100, PageSize::kLetter, 2, false, 40, 50},
                      PlanCase{"SmallBlockOnOnePage", 10, 10, PageSize::kA4, 1, false, 10, 10},
                      PlanCase{"WideBlockTurnsTheA4Page", 60, 30, PageSize::kA4, 1, true, 60, 30},
                      PlanCase{"SquareBlockOnA3", 60, 90, PageSize::kA3, 1, false, 60, 90},
                      PlanCase{"TallBlockTurnsTheA4Page", 60, 90, PageSize::kA4, 3, true, 60, 30},
                      PlanCase{"LargestBlock", 640, 480, PageSize::kA4, 120, false, 45, 60},
                      PlanCase{"OneColumn", 1, 480, PageSize::kA4, 8, false, 1, 60},
                      PlanCase{"PartsOfFiveRows", 40, 122, PageSize::kA4, 3, false, 40, 45}),
    [](const ::testing::TestParamInfo<PlanCase>& info) { return info.param.name; });

}  // namespace
}  // namespace mozenta
