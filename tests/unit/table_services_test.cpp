// The memory of the table services that the boot starts.
#include <gtest/gtest.h>

#include <algorithm>

#include "services/table_services.h"

namespace {

namespace tables = vela::tables;

TEST(TableServices, AnimationTableIsZeroFilledAndGoesAwayOnStop) {
  ASSERT_TRUE(tables::StartAnimationTable());
  const std::uint8_t* table = tables::AnimationTable();
  ASSERT_NE(table, nullptr);
  const std::size_t bytes = std::size_t{tables::kAnimationRecords} * tables::kAnimationRecordBytes;
  EXPECT_TRUE(std::all_of(table, table + bytes, [](std::uint8_t byte) { return byte == 0; }));
  EXPECT_TRUE(tables::StartAnimationTable()) << "a second start keeps the table";
  EXPECT_EQ(tables::AnimationTable(), table);
  tables::StopAnimationTable();
  EXPECT_EQ(tables::AnimationTable(), nullptr);
  tables::StopAnimationTable();  // a stop without a start does nothing
}

TEST(TableServices, ProjectionRecordsStartWithTheirDefaults) {
  ASSERT_TRUE(tables::StartProjectionRecords());
  for (int i = 0; i < tables::kProjectionRecords; ++i) {
    const tables::ProjectionRecord& record = tables::ProjectionRecords()[i];
    EXPECT_EQ(record.scale, 1.0f);
    EXPECT_EQ(record.farPlane, 100.0f);
    EXPECT_EQ(record.nearPlane, 0.1f);
    EXPECT_TRUE(std::all_of(std::begin(record.reserved), std::end(record.reserved), [](float v) { return v == 0.0f; }));
  }
}

TEST(TableServices, RecordTablesStartAndStopInAnyOrder) {
  tables::StopTable400();
  EXPECT_TRUE(tables::StartTable684());
  EXPECT_TRUE(tables::StartTable816());
  EXPECT_TRUE(tables::StartTable400());
  tables::StopTable400();
  tables::StopTable816();
  tables::StopTable684();
}

}  // namespace
