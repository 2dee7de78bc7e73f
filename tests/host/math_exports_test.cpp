// The math exports of the real DLL, called by name through the host harness. Expected values
// are worked out here from the generator's definition, independently of the library.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "host/plugin_module.h"
#include "host/script_host.h"

namespace {

using vela::host::PluginModule;
using vela::host::ScriptHost;

class MathExports : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(plugin.Loaded()) << "velaplugin.dll did not load"; }

  std::int32_t Call(const char* name) {
    auto function = plugin.Find(name);
    EXPECT_NE(function, nullptr) << name << " is not exported";
    return function ? host.Call(function) : 0;
  }

  float Sin(std::int32_t angle) {
    host.PushInt(angle);
    EXPECT_EQ(Call("MathSin"), 0);
    return host.PopFloat();
  }

  std::int32_t Atan(std::int32_t x, std::int32_t y) {
    host.PushInt(x).PushInt(y);
    EXPECT_EQ(Call("MathAtan"), 4);
    return host.PopInt();
  }

  std::int32_t Rand(std::int32_t lower, std::int32_t upper) {
    host.PushInt(lower).PushInt(upper);
    EXPECT_EQ(Call("MathRand"), 4);
    return host.PopInt();
  }

  float RandF(float lower, float upper) {
    host.PushFloat(lower).PushFloat(upper);
    EXPECT_EQ(Call("MathRandF"), 4);
    return host.PopFloat();
  }

  void Seed(std::int32_t seed) {
    host.PushInt(seed);
    EXPECT_EQ(Call("MathRandSeed"), 4);
  }

  PluginModule plugin;
  ScriptHost host;
};

// The generator: state = state * 214013 + 2531011, output bits 16-30.
struct Lcg {
  std::uint32_t state;
  std::int32_t Next() {
    state = state * 214013u + 2531011u;
    return static_cast<std::int32_t>((state >> 16) & 0x7FFF);
  }
};

std::uint32_t Bits(float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, 4);
  return bits;
}

TEST_F(MathExports, SineAndCosineOfTableAngles) {
  const auto start = host.Top();
  EXPECT_EQ(Sin(16384), 1.0f);
  EXPECT_EQ(Sin(65536 + 16384), 1.0f);
  EXPECT_EQ(Sin(-16384), -1.0f);
  EXPECT_EQ(Bits(Sin(8192)), Bits(0.70710677f));
  EXPECT_EQ(Bits(Sin(32768)), Bits(-8.742278e-08f)) << "the sine of single-precision pi";
  host.PushInt(0);
  EXPECT_EQ(Call("MathCos"), 0);
  EXPECT_EQ(host.PopFloat(), 1.0f);
  EXPECT_EQ(host.Top(), start);
}

TEST_F(MathExports, ArcTangentOctantsAndAxes) {
  EXPECT_EQ(Atan(1, 0), 0);
  EXPECT_EQ(Atan(-1, 0), 32768);
  EXPECT_EQ(Atan(0, 1), 16384);
  EXPECT_EQ(Atan(0, -1), 49152);
  EXPECT_EQ(Atan(0, 0), 16384);
  EXPECT_EQ(Atan(1, 1), 8191);
  EXPECT_EQ(Atan(-1, -1), 40959);
  EXPECT_EQ(Atan(10000, -1), 65536) << "not reduced modulo a turn";
}

TEST_F(MathExports, SeededSequenceIsReproducible) {
  Seed(20261205);
  Lcg lcg{20261205};
  for (int i = 0; i < 50; ++i) {
    const std::int32_t product = lcg.Next() * lcg.Next();
    ASSERT_EQ(Rand(-100, 100), -100 + product % 201) << "draw " << i;
    const float expected = static_cast<float>(static_cast<long double>(lcg.Next()) *
                                              static_cast<long double>(1.0f / 32767.0f) * 10.0L + 5.0L);
    ASSERT_EQ(RandF(5.0f, 15.0f), expected) << "draw " << i;
  }
}

TEST_F(MathExports, RandBounds) {
  Seed(7);
  for (int i = 0; i < 200; ++i) {
    ASSERT_EQ(Rand(5, 5), 5);
    const std::int32_t bit = Rand(0, 1);
    ASSERT_TRUE(bit == 0 || bit == 1);
  }
}

}  // namespace
