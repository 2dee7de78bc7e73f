// The power-of-two sides of textures.
#include <gtest/gtest.h>

#include "image/texture_sizing.h"

namespace vela {
namespace {

TEST(TextureSizing, SidesAreTheNextPowerOfTwoHalvedWhileAboveTheDeviceMaximum) {
  const std::uint32_t cases[][3] = {{100, 16384, 128}, {64, 16384, 64}, {0, 16384, 1},
                                    {300, 200, 128},  // a maximum that is no power of two
                                    {0xFFFFFFFFu, 0, 0x80000000u}};  // no endless doubling at the top
  for (const auto& [wanted, maximum, side] : cases) EXPECT_EQ(TextureSide(wanted, maximum), side) << wanted;
}

}  // namespace
}  // namespace vela
