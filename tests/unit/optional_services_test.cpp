// The Win32-free pieces of the optional services: the sound device's capability report and the
// services' record tables.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "services/record_table.h"
#include "services/sound_caps_report.h"

namespace {

using vela::RecordTable;
using vela::SoundCaps;

// Rates are divided by 1024 although the unit says kHz; the memory figures are unsigned.
TEST(SoundCapsReport, OneLinePerFlagThenTheLimits) {
  SoundCaps caps;
  caps.minSecondarySampleRate = 44100;
  caps.freeHwMemBytes = 0xFFFFFFFFu;
  const std::vector<std::string> limits = vela::SoundCapsReport(caps);
  ASSERT_EQ(limits.size(), 12u);
  EXPECT_EQ(limits[0], "　　　最小サンプリング レート [43.066KHz]");
  EXPECT_EQ(limits[9], "　　　空きメモリ容量 [4194303.999KB] ");
  caps.flags = SoundCaps::kCertified | 0x10 /* continuous rate: not reported */;
  EXPECT_EQ(vela::SoundCapsReport(caps)[0], "　　・Microsoftでテストされ、認定されている");
  caps.flags = 0xFFFFFFFFu;
  EXPECT_EQ(vela::SoundCapsReport(caps).size(), 22u);
}

TEST(RecordTable, SizesThatCannotBeAllocatedLeaveNoTable) {
  RecordTable table;
  ASSERT_TRUE(table.Allocate(64, 340));
  EXPECT_FALSE(table.Allocate(std::numeric_limits<std::uint32_t>::max(), std::numeric_limits<std::size_t>::max() / 2));
  EXPECT_FALSE(table.Exists()) << "a failed allocation leaves no table";
  EXPECT_FALSE(table.Allocate(4, 6)) << "a record must hold the in-use byte and the use count";
}

TEST(RecordTable, StopReleasesEveryRecordInUseOnceWhateverItsCount) {
  RecordTable table;
  ASSERT_TRUE(table.Allocate(5, 288));
  for (std::uint32_t index : {1u, 3u}) {
    table.Record(index)[0] = 1;
    table.SetUseCount(index, 7);  // held seven times: the stop still destroys it
    table.Record(index)[100] = 0xAB;
  }
  std::vector<std::uint32_t> destroyed;
  table.ReleaseAllAndFree([&](std::uint8_t* record) { EXPECT_EQ(record[100], 0xAB); },
                          [&](std::uint32_t index) { destroyed.push_back(index); });
  EXPECT_EQ(destroyed, (std::vector<std::uint32_t>{1, 3}));
  EXPECT_FALSE(table.Exists());
}

TEST(RecordTable, ReleaseLowersTheCountAndDestroysAtZero) {
  RecordTable table;
  ASSERT_TRUE(table.Allocate(2, 320));
  int destroyed = 0;
  auto destroy = [&](std::uint8_t*) { ++destroyed; };
  EXPECT_FALSE(table.Release(0, destroy)) << "a free record is left alone";
  table.Record(0)[0] = 1;
  table.SetUseCount(0, 2);
  EXPECT_FALSE(table.Release(0, destroy));
  EXPECT_EQ(table.UseCount(0), 1u);
  EXPECT_TRUE(table.Release(0, destroy));
  EXPECT_EQ(destroyed, 1);
  EXPECT_FALSE(table.InUse(0)) << "cleared";
}

}  // namespace
