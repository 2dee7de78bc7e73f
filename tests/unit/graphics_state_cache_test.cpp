// The state cache against a recording device: what reaches the device, and when.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "graphics/settings_2d.h"
#include "graphics/state_cache.h"
#include "graphics/viewport_clip.h"

namespace vela {
namespace {

using namespace state;

// Keeps device values and logs every Set call as (kind, stage, type, value).
class RecordingDevice final : public StateDevice {
 public:
  using Call = std::tuple<char, std::uint32_t, std::uint32_t, std::uint32_t>;

  std::uint32_t GetRenderState(std::uint32_t s) override { return Value('R', 0, s); }
  void SetRenderState(std::uint32_t s, std::uint32_t v) override { Set('R', 0, s, v); }
  std::uint32_t GetTextureStageState(std::uint32_t stage, std::uint32_t t) override { return Value('T', stage, t); }
  void SetTextureStageState(std::uint32_t stage, std::uint32_t t, std::uint32_t v) override { Set('T', stage, t, v); }
  std::uint32_t GetSamplerState(std::uint32_t sampler, std::uint32_t t) override { return Value('S', sampler, t); }
  void SetSamplerState(std::uint32_t sampler, std::uint32_t t, std::uint32_t v) override { Set('S', sampler, t, v); }

  std::uint32_t Value(char kind, std::uint32_t stage, std::uint32_t type) {
    ++reads;
    auto found = values.find({kind, stage, type});
    return found == values.end() ? 0x1000 + type : found->second;  // distinct "driver defaults"
  }
  void Set(char kind, std::uint32_t stage, std::uint32_t type, std::uint32_t value) {
    values[{kind, stage, type}] = value;
    calls.emplace_back(kind, stage, type, value);
  }

  std::map<std::tuple<char, std::uint32_t, std::uint32_t>, std::uint32_t> values;
  std::vector<Call> calls;
  int reads = 0;
};

using Calls = std::vector<RecordingDevice::Call>;
constexpr int kListedStates = 103 + 4 * 18 + 4 * 13;

class StateCacheTest : public ::testing::Test {
 protected:
  void Start(FilterCaps caps = {false, false, 16}) {
    cache.Initialize(device, caps);
    device.calls.clear();
  }
  RecordingDevice device;
  StateCache cache;
};

TEST_F(StateCacheTest, InitializationReadsEveryListedStateThenSendsOnlyDefaultsThatDiffer) {
  device.values[{'R', 0, kLighting}] = 0;  // already as wanted: not sent
  cache.Initialize(device, {false, false, 8});
  EXPECT_EQ(device.reads, kListedStates);
  ASSERT_EQ(device.calls.size(), 5u + 4 * 12);
  EXPECT_EQ((device.values[{'S', 0, kMaxAnisotropy}]), 8u) << "the anisotropy of the caps";
  EXPECT_EQ(cache.RenderState(kSrcBlend), 0x1000u + kSrcBlend) << "states without a default keep the device's value";
  EXPECT_EQ(cache.RenderState(1), 0xFFFFFFFFu) << "unlisted states are never read";
}

TEST_F(StateCacheTest, OnlyChangesWithinRangeReachTheDevice) {
  Start();
  cache.SetRenderState(kZEnable, 0);  // the default already
  for (int time = 0; time < 2; ++time) {  // the second time sends nothing
    cache.SetRenderState(kZEnable, 1);
    cache.SetTextureStageState(2, kColorArg1, kArgCurrent);
    cache.SetSamplerState(3, kAddressV, 3);
    cache.SetBlendingType(1);
  }
  cache.SetRenderState(210, 5);
  cache.SetTextureStageState(4, kColorOp, 2);
  cache.SetTextureStageState(0, 33, 2);
  cache.SetSamplerState(4, kMagFilter, 2);
  cache.SetSamplerState(0, 14, 2);
  EXPECT_FALSE(cache.SetBlendingType(6));
  EXPECT_FALSE(cache.SetBlendingType(static_cast<std::uint32_t>(-1)));
  EXPECT_EQ(device.calls, (Calls{{'R', 0, kZEnable, 1},
                                 {'T', 2, kColorArg1, kArgCurrent},
                                 {'S', 3, kAddressV, 3},
                                 {'R', 0, kSrcBlend, kBlendSrcAlpha},
                                 {'R', 0, kDestBlend, kBlendInvSrcAlpha}}));
  EXPECT_EQ(cache.SamplerState(9, 1), 0xFFFFFFFFu);
}

TEST_F(StateCacheTest, FilterUsesAnisotropyOnlyWhereTheCapsAllowItAndKeepsTheMipFilter) {
  Start({true, false, 16});
  cache.SetFilter(true);
  EXPECT_EQ(cache.SamplerState(3, kMagFilter), kFilterAnisotropic);
  EXPECT_EQ(cache.SamplerState(3, kMinFilter), kFilterLinear);
  cache.SetFilter(false);
  EXPECT_EQ(cache.SamplerState(3, kMagFilter), kFilterPoint);
  EXPECT_EQ(cache.SamplerState(3, kMinFilter), kFilterPoint);
  EXPECT_EQ(cache.SamplerState(3, kMipFilter), kFilterLinear);
}

TEST_F(StateCacheTest, ApplyStateSetSendsOnlyWhatDiffers) {
  Start();
  RenderStateSet set = cache.DefaultStateSet();
  set.blendingType = 3;
  set.textureStageStates[1][kColorOp] = kTopModulate;
  cache.ApplyStateSet(set);
  EXPECT_EQ(cache.RenderState(kSrcBlend), kBlendOne);
  EXPECT_EQ(cache.RenderState(kAlphaFunc), kCmpGreater);
  EXPECT_EQ(cache.RenderState(kAlphaRef), 8u);
  EXPECT_EQ(cache.TextureStageState(1, kColorOp), kTopModulate);
  device.calls.clear();
  cache.ApplyStateSet(set);
  EXPECT_TRUE(device.calls.empty());
  // Alpha test off touches only its switch; a blending type outside the table is skipped.
  set.alphaTest = false;
  set.blendingType = 9;
  cache.ApplyStateSet(set);
  EXPECT_EQ(device.calls, (Calls{{'R', 0, kAlphaTestEnable, 0}}));
}

TEST_F(StateCacheTest, WriteBackSendsEveryListedStateUntilDetached) {
  Start();
  cache.SetBlendingType(2);
  device.values.clear();  // a reset device forgot everything
  device.calls.clear();
  cache.WriteBack();
  EXPECT_EQ(device.calls.size(), std::size_t{kListedStates});
  EXPECT_EQ((device.values[{'R', 0, kDestBlend}]), kBlendOne);
  cache.Detach();
  device.calls.clear();
  cache.WriteBack();
  cache.SetRenderState(kZEnable, 1);
  EXPECT_TRUE(device.calls.empty());
}

TEST(VertexProcessing, HardwareOnlyWithTnLAndASufficientShaderVersion) {
  EXPECT_FALSE(NeedsSoftwareVertexProcessing(true, 0xFFFE0300u, 3, 0));
  EXPECT_TRUE(NeedsSoftwareVertexProcessing(true, 0xFFFE0300u, 3, 1));
  EXPECT_TRUE(NeedsSoftwareVertexProcessing(true, 0, 0, 0)) << "a reported version of 0 means software";
}

TEST(ViewportClip, CutsDestinationAndSourceAlike) {
  const ViewportArea viewport{0, 0, 640, 480};
  PixelRect destination{-100, -10, 740, 500};  // 840 x 510
  PixelRect source{0, 0, 420, 255};            // half size
  ASSERT_TRUE(ClipToViewport(viewport, destination, source));
  EXPECT_EQ(std::tie(destination.left, destination.top, destination.right, destination.bottom),
            std::make_tuple(0, 0, 640, 480));
  EXPECT_EQ(std::tie(source.left, source.top, source.right, source.bottom), std::make_tuple(50, 5, 370, 245));

  PixelRect left{-50, 0, -10, 100}, empty{5, 5, 5, 5}, anySource{0, 0, 40, 100};
  EXPECT_FALSE(ClipToViewport(viewport, left, anySource));
  EXPECT_FALSE(ClipToViewport(viewport, empty, anySource));
  PixelRect huge{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, hugeSource{INT32_MIN, 0, INT32_MAX, 1};
  EXPECT_TRUE(ClipToViewport(viewport, huge, hugeSource));
  EXPECT_EQ(huge.right, 640);
}

TEST(Settings2D, ScissorRectangleToDevicePixels) {
  struct Case {
    PixelRect in;
    float scaleX, scaleY;
    PixelRect out;
  } cases[] = {
      {{10, 20, 40, 60}, 1.0f, 1.0f, {9, 19, 39, 59}},
      {{10, 10, 0, -3}, 2.0f, 0.5f, {19, 4, 0, -2}},  // -0.5 truncates toward zero
      {{INT32_MAX, INT32_MIN, 0, 0}, 4.0f, 4.0f, {INT32_MAX, INT32_MIN, 0, 0}},
  };
  for (Case& c : cases) {
    ScissorToDevicePixels(c.in, c.scaleX, c.scaleY);
    EXPECT_EQ(std::tie(c.in.left, c.in.top, c.in.right, c.in.bottom),
              std::tie(c.out.left, c.out.top, c.out.right, c.out.bottom));
  }
}

}  // namespace
}  // namespace vela
