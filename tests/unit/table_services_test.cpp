// The memory of the table services that the boot starts.
#include <gtest/gtest.h>

#include <algorithm>

#include "services/table_services.h"

namespace {

namespace tables = vela::tables;

TEST(TableServices, AnimationTableIsZeroFilledKeptByASecondStartAndGoneAfterTheStop) {
  ASSERT_TRUE(tables::StartAnimationTable());
  const std::uint8_t* table = tables::AnimationTable();
  const std::size_t bytes = std::size_t{tables::kAnimationRecords} * tables::kAnimationRecordBytes;
  EXPECT_TRUE(std::all_of(table, table + bytes, [](std::uint8_t byte) { return byte == 0; }));
  EXPECT_TRUE(tables::StartAnimationTable());
  EXPECT_EQ(tables::AnimationTable(), table);
  tables::StopAnimationTable();
  EXPECT_EQ(tables::AnimationTable(), nullptr);
  tables::StopAnimationTable();  // a stop without a start does nothing
}

}  // namespace
