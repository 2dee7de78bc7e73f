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

TEST(SoundCapsReport, FlagLinesInTheirOwnOrderThenTheLimits) {
  SoundCaps caps;
  caps.flags = SoundCaps::kPrimaryStereo | SoundCaps::kCertified | SoundCaps::kSecondary16Bit |
               SoundCaps::kEmulatedDriver | 0x10 /* continuous rate: not reported */;
  caps.minSecondarySampleRate = 44100;
  caps.maxSecondarySampleRate = 96000;
  caps.maxHwMixingAllBuffers = 1;
  caps.maxHwMixingStaticBuffers = 2;
  caps.maxHwMixingStreamingBuffers = 3;
  caps.maxHw3DAllBuffers = 4;
  caps.maxHw3DStaticBuffers = 5;
  caps.maxHw3DStreamingBuffers = 6;
  caps.totalHwMemBytes = 1536;
  caps.freeHwMemBytes = 0xFFFFFFFFu;
  caps.unlockTransferRateHwBuffers = 7;
  caps.playCpuOverheadSwBuffers = 8;

  const std::vector<std::string> expected = {
      "　　・Microsoftでテストされ、認定されている",
      "　　・DirectSound ドライバがインストールされていない",
      "　　・ステレオのプライマリ バッファをサポートする",
      "　　・１６ビット サンプリングでハードウェア ミキシングのセカンダリ サウンド バッファをサポートする",
      // Rates divided by 1024 although the unit says kHz.
      "　　　最小サンプリング レート [43.066KHz]",
      "　　　最大サンプリング レート [93.750KHz]",
      "　　　最大ハードウェアミキシング可能数 [1] ",
      "　　　最大スタティックバッファ数 [2] ",
      "　　　最大ストリーミングバッファ数 [3] ",
      "　　　最大３Ｄバッファ数 [4] ",
      "　　　最大３Ｄスタティックバッファ数 [5] ",
      "　　　最大３Ｄストリーミングバッファ数 [6] ",
      "　　　最大スタティックバッファメモリ容量 [1.500KB] ",
      // Unsigned, not negative, for the largest field value.
      "　　　空きメモリ容量 [4194303.999KB] ",
      "　　　ハードウェアスタティックバッファへのデータ転送速度 [7KB/s] ",
      "　　　ソフトウェアミキシングの必要なプロセッサ時間 [8%] ",
  };
  EXPECT_EQ(vela::SoundCapsReport(caps), expected);
}

TEST(SoundCapsReport, EveryFlagHasItsLineAndNoFlagsLeaveOnlyTheLimits) {
  SoundCaps caps;
  EXPECT_EQ(vela::SoundCapsReport(caps).size(), 12u);
  caps.flags = 0xFFFFFFFFu;
  EXPECT_EQ(vela::SoundCapsReport(caps).size(), 22u);
}

TEST(RecordTable, ZeroFilledRecordsAndSizesThatCannotBeAllocated) {
  RecordTable table;
  ASSERT_TRUE(table.Allocate(64, 340));
  EXPECT_EQ(table.Count(), 64u);
  for (std::uint32_t index = 0; index < table.Count(); ++index) {
    for (int byte = 0; byte < 340; ++byte) ASSERT_EQ(table.Record(index)[byte], 0);
  }
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
  int destroyCalls = 0;
  table.ReleaseAllAndFree(
      [&](std::uint8_t* record) {
        ++destroyCalls;
        EXPECT_EQ(record[100], 0xAB);
      },
      [&](std::uint32_t index) { destroyed.push_back(index); });
  EXPECT_EQ(destroyCalls, 2);
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
