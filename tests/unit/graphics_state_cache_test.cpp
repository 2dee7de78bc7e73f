// The state cache against a recording device: what reaches the device, and when.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "core/device_loss.h"
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

class StateCacheTest : public ::testing::Test {
 protected:
  void Start(FilterCaps caps = {false, false, 16}) {
    cache.Initialize(device, caps);
    device.calls.clear();
  }
  RecordingDevice device;
  StateCache cache;
};

TEST_F(StateCacheTest, InitializationReadsEveryListedStateThenSetsTheDefaultsInOrder) {
  device.values[{'R', 0, kLighting}] = 0;  // already as wanted: not sent
  cache.Initialize(device, {false, false, 8});
  EXPECT_EQ(device.reads, 103 + 4 * 18 + 4 * 13);
  ASSERT_GE(device.calls.size(), 5u);
  EXPECT_EQ(device.calls[0], (RecordingDevice::Call{'R', 0, kZEnable, 0}));
  EXPECT_EQ(device.calls[1], (RecordingDevice::Call{'R', 0, kZWriteEnable, 0}));
  EXPECT_EQ(device.calls[2], (RecordingDevice::Call{'R', 0, kAlphaBlendEnable, 1}));
  EXPECT_EQ(device.calls[3], (RecordingDevice::Call{'R', 0, kAlphaTestEnable, 0}));
  EXPECT_EQ(device.calls[4], (RecordingDevice::Call{'R', 0, kCullMode, kCullNone}));
  // Then per stage: six sampler states, then six texture-stage states.
  EXPECT_EQ(device.calls[5], (RecordingDevice::Call{'S', 0, kAddressU, kAddressWrap}));
  EXPECT_EQ(device.calls[10], (RecordingDevice::Call{'S', 0, kMaxAnisotropy, 8}));
  EXPECT_EQ(device.calls[11], (RecordingDevice::Call{'T', 0, kColorOp, kTopModulate}));
  EXPECT_EQ(device.calls[14], (RecordingDevice::Call{'T', 0, kAlphaOp, kTopModulate}));
  EXPECT_EQ(device.calls[17], (RecordingDevice::Call{'S', 1, kAddressU, kAddressWrap}));
  EXPECT_EQ(device.calls.size(), 5u + 4 * 12);
  EXPECT_EQ(cache.TextureStageState(3, kColorOp), kTopDisable);
  EXPECT_EQ(cache.RenderState(kSrcBlend), 0x1000u + kSrcBlend) << "states without a default keep the device's value";
  EXPECT_EQ(cache.RenderState(1), 0xFFFFFFFFu) << "unlisted states are never read";

  const RenderStateSet& defaults = cache.DefaultStateSet();
  EXPECT_EQ(defaults.blendingType, 0u);
  EXPECT_TRUE(defaults.alphaTest && defaults.filter && defaults.depthTest && defaults.depthWrite);
  EXPECT_EQ(defaults.samplerStates[2][kMagFilter], kFilterLinear);
  EXPECT_EQ(defaults.textureStageStates[0][kColorArg1], kArgTexture);
  EXPECT_EQ(defaults.textureStageStates[1][kAlphaOp], kTopDisable);
}

TEST_F(StateCacheTest, OnlyChangesReachTheDevice) {
  Start();
  cache.SetRenderState(kZEnable, 0);  // the default already
  cache.SetRenderState(kZEnable, 1);
  cache.SetRenderState(kZEnable, 1);
  cache.SetTextureStageState(2, kColorArg1, kArgCurrent);
  cache.SetTextureStageState(2, kColorArg1, kArgCurrent);
  cache.SetSamplerState(3, kAddressV, 3);
  cache.SetSamplerState(3, kAddressV, 3);
  EXPECT_EQ(device.calls, (std::vector<RecordingDevice::Call>{
                              {'R', 0, kZEnable, 1}, {'T', 2, kColorArg1, kArgCurrent}, {'S', 3, kAddressV, 3}}));
}

TEST_F(StateCacheTest, OutOfRangeStatesAndStagesAreIgnored) {
  Start();
  cache.SetRenderState(210, 5);
  cache.SetRenderState(0xFFFFFFFF, 5);
  cache.SetTextureStageState(4, kColorOp, 2);
  cache.SetTextureStageState(0, 33, 2);
  cache.SetSamplerState(4, kMagFilter, 2);
  cache.SetSamplerState(0, 14, 2);
  EXPECT_TRUE(device.calls.empty());
  EXPECT_EQ(cache.RenderState(210), 0xFFFFFFFFu);
  EXPECT_EQ(cache.SamplerState(9, 1), 0xFFFFFFFFu);
}

TEST_F(StateCacheTest, BlendingTypes) {
  Start();
  const std::uint32_t expected[6][2] = {{kBlendOne, kBlendZero},          {kBlendSrcAlpha, kBlendInvSrcAlpha},
                                        {kBlendSrcAlpha, kBlendOne},      {kBlendOne, kBlendOne},
                                        {kBlendZero, kBlendSrcColor},     {kBlendInvDestColor, kBlendZero}};
  for (std::uint32_t type = 0; type < 6; ++type) {
    EXPECT_TRUE(cache.SetBlendingType(type));
    EXPECT_EQ(cache.RenderState(kSrcBlend), expected[type][0]) << type;
    EXPECT_EQ(cache.RenderState(kDestBlend), expected[type][1]) << type;
  }
  device.calls.clear();
  cache.SetBlendingType(1);
  cache.SetBlendingType(1);
  EXPECT_EQ(device.calls, (std::vector<RecordingDevice::Call>{{'R', 0, kSrcBlend, kBlendSrcAlpha},
                                                              {'R', 0, kDestBlend, kBlendInvSrcAlpha}}));
  device.calls.clear();
  EXPECT_FALSE(cache.SetBlendingType(6));
  EXPECT_FALSE(cache.SetBlendingType(static_cast<std::uint32_t>(-1)));
  EXPECT_TRUE(device.calls.empty());
  EXPECT_EQ(cache.RenderState(kSrcBlend), kBlendSrcAlpha);
}

TEST_F(StateCacheTest, FilterUsesAnisotropyOnlyWhereTheCapsAllowIt) {
  Start({true, false, 16});
  cache.SetFilter(true);
  for (std::uint32_t sampler = 0; sampler < 4; ++sampler) {
    EXPECT_EQ(cache.SamplerState(sampler, kMagFilter), kFilterAnisotropic);
    EXPECT_EQ(cache.SamplerState(sampler, kMinFilter), kFilterLinear);
  }
  cache.SetFilter(false);
  for (std::uint32_t sampler = 0; sampler < 4; ++sampler) {
    EXPECT_EQ(cache.SamplerState(sampler, kMagFilter), kFilterPoint);
    EXPECT_EQ(cache.SamplerState(sampler, kMinFilter), kFilterPoint);
    EXPECT_EQ(cache.SamplerState(sampler, kMipFilter), kFilterLinear) << "the mip filter stays";
  }
}

TEST_F(StateCacheTest, ApplyStateSetPutsEveryFieldInPlaceThroughTheCache) {
  Start();
  RenderStateSet set = cache.DefaultStateSet();
  set.blendingType = 3;
  set.textureStageStates[1][kColorOp] = kTopModulate;
  set.samplerStates[2][kAddressU] = 3;
  cache.ApplyStateSet(set);
  EXPECT_EQ(cache.RenderState(kSrcBlend), kBlendOne);
  EXPECT_EQ(cache.RenderState(kDestBlend), kBlendOne);
  EXPECT_EQ(cache.RenderState(kAlphaTestEnable), 1u);
  EXPECT_EQ(cache.RenderState(kAlphaFunc), kCmpGreater);
  EXPECT_EQ(cache.RenderState(kAlphaRef), 8u);
  EXPECT_EQ(cache.RenderState(kZEnable), 1u);
  EXPECT_EQ(cache.RenderState(kZWriteEnable), 1u);
  EXPECT_EQ(cache.TextureStageState(1, kColorOp), kTopModulate);
  EXPECT_EQ(cache.SamplerState(2, kAddressU), 3u);

  // Applying the same set again sends nothing.
  device.calls.clear();
  cache.ApplyStateSet(set);
  EXPECT_TRUE(device.calls.empty());

  // Alpha test off touches only its switch; a blending type outside the table is skipped.
  set.alphaTest = false;
  set.blendingType = 9;
  cache.ApplyStateSet(set);
  EXPECT_EQ(device.calls, (std::vector<RecordingDevice::Call>{{'R', 0, kAlphaTestEnable, 0}}));
}

TEST_F(StateCacheTest, WriteBackSendsEveryListedStateWithoutComparing) {
  Start();
  cache.SetBlendingType(2);
  device.values.clear();  // a reset device forgot everything
  device.calls.clear();
  cache.WriteBack();
  EXPECT_EQ(device.calls.size(), 103u + 4 * 18 + 4 * 13);
  EXPECT_EQ((device.values[{'R', 0, kSrcBlend}]), kBlendSrcAlpha);
  EXPECT_EQ((device.values[{'R', 0, kDestBlend}]), kBlendOne);
  EXPECT_EQ((device.values[{'T', 0, kColorOp}]), kTopModulate);
  cache.Detach();
  device.calls.clear();
  cache.WriteBack();
  cache.SetRenderState(kZEnable, 1);
  EXPECT_TRUE(device.calls.empty()) << "a detached cache sends nothing";
}

TEST(VertexProcessing, HardwareOnlyWithTnLAndASufficientShaderVersion) {
  EXPECT_FALSE(NeedsSoftwareVertexProcessing(true, 0xFFFE0300u, 0, 0));
  EXPECT_FALSE(NeedsSoftwareVertexProcessing(true, 0xFFFE0300u, 3, 0));
  EXPECT_TRUE(NeedsSoftwareVertexProcessing(true, 0xFFFE0300u, 3, 1));
  EXPECT_TRUE(NeedsSoftwareVertexProcessing(false, 0xFFFE0300u, 0, 0));
  EXPECT_TRUE(NeedsSoftwareVertexProcessing(true, 0, 0, 0)) << "a reported version of 0 means software";
}

TEST(ViewportClip, CutsDestinationAndSourceAlike) {
  const ViewportArea viewport{0, 0, 640, 480};
  PixelRect destination{-100, -10, 740, 500};  // 840 x 510
  PixelRect source{0, 0, 420, 255};            // half size
  EXPECT_TRUE(ClipToViewport(viewport, destination, source));
  EXPECT_EQ(std::memcmp(&destination, &(const PixelRect&)PixelRect{0, 0, 640, 480}, sizeof destination), 0);
  EXPECT_EQ(source.left, 50);
  EXPECT_EQ(source.top, 5);
  EXPECT_EQ(source.right, 370);
  EXPECT_EQ(source.bottom, 245);

  PixelRect inside{10, 10, 20, 20};
  PixelRect untouched{0, 0, 5, 5};
  EXPECT_TRUE(ClipToViewport(viewport, inside, untouched));
  EXPECT_EQ(inside.left, 10);
  EXPECT_EQ(untouched.right, 5);
}

TEST(ViewportClip, NothingLeftAndDegenerateInput) {
  const ViewportArea viewport{0, 0, 640, 480};
  PixelRect left{-50, 0, -10, 100};
  PixelRect source{0, 0, 40, 100};
  EXPECT_FALSE(ClipToViewport(viewport, left, source));
  PixelRect empty{5, 5, 5, 5};
  PixelRect emptySource{0, 0, 10, 10};
  EXPECT_FALSE(ClipToViewport(viewport, empty, emptySource));
  PixelRect huge{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
  PixelRect hugeSource{INT32_MIN, 0, INT32_MAX, 1};
  EXPECT_TRUE(ClipToViewport(viewport, huge, hugeSource));
  EXPECT_EQ(huge.right, 640);
}

struct RecordingManager final : Object2DManager {
  RecordingManager(std::string label, std::vector<std::string>& calls) : name(std::move(label)), log(calls) {}
  void OnScissoring(bool enable, const PixelRect& r) override {
    log.push_back(name + " scissor " + std::to_string(enable) + " " + std::to_string(r.left) + "," +
                  std::to_string(r.top) + "," + std::to_string(r.right) + "," + std::to_string(r.bottom));
  }
  void OnPerspective(bool enable, float x, float y, float k) override {
    log.push_back(name + " perspective " + std::to_string(enable) + " " + std::to_string(int(x)) + "," +
                  std::to_string(int(y)) + "," + std::to_string(int(k)));
  }
  void OnZoom(bool enable, float, float, float s) override {
    log.push_back(name + " zoom " + std::to_string(enable) + " " + std::to_string(int(s)));
  }
  std::string name;
  std::vector<std::string>& log;
};

TEST(Settings2D, BroadcastReachesEveryManagerInSlotOrder) {
  std::vector<std::string> log;
  RecordingManager sprites("sprites", log), points("points", log), primitives("primitives", log);
  JoinObject2DBroadcast(Object2DSlot::kPoints, &points);
  JoinObject2DBroadcast(Object2DSlot::kSprites, &sprites);
  JoinObject2DBroadcast(Object2DSlot::kPrimitives, &primitives);
  BroadcastScissoring(true, {9, 19, 39, 59});
  BroadcastPerspective(false, 320, 240, 100);
  LeaveObject2DBroadcast(Object2DSlot::kSprites);
  BroadcastZoom(true, 320, 240, 2);
  LeaveObject2DBroadcast(Object2DSlot::kPoints);
  LeaveObject2DBroadcast(Object2DSlot::kPrimitives);
  JoinObject2DBroadcast(static_cast<Object2DSlot>(-1), &points);
  JoinObject2DBroadcast(Object2DSlot::kCount, &points);
  BroadcastZoom(false, 0, 0, 1);
  EXPECT_EQ(log, (std::vector<std::string>{
                     "primitives scissor 1 9,19,39,59", "sprites scissor 1 9,19,39,59", "points scissor 1 9,19,39,59",
                     "primitives perspective 0 320,240,100", "sprites perspective 0 320,240,100",
                     "points perspective 0 320,240,100", "primitives zoom 1 2", "points zoom 1 2"}));
}

TEST(Settings2D, ScissorRectangleToDevicePixels) {
  PixelRect rectangle{10, 20, 40, 60};
  ScissorToDevicePixels(rectangle, 1.0f, 1.0f);
  EXPECT_EQ(rectangle.left, 9);
  EXPECT_EQ(rectangle.top, 19);
  EXPECT_EQ(rectangle.right, 39);
  EXPECT_EQ(rectangle.bottom, 59);
  PixelRect scaled{10, 10, 0, -3};
  ScissorToDevicePixels(scaled, 2.0f, 0.5f);
  EXPECT_EQ(scaled.left, 19);
  EXPECT_EQ(scaled.top, 4);
  EXPECT_EQ(scaled.right, 0) << "-0.5 truncates toward zero";
  EXPECT_EQ(scaled.bottom, -2);
  PixelRect extreme{INT32_MAX, INT32_MIN, 0, 0};
  ScissorToDevicePixels(extreme, 4.0f, 4.0f);
  EXPECT_EQ(extreme.left, INT32_MAX);
  EXPECT_EQ(extreme.top, INT32_MIN);
}

struct RecordingHandler final : DeviceLossHandler {
  RecordingHandler(std::string label, std::string& calls) : name(std::move(label)), log(calls) {}
  void OnLostDevice() override { log += name + "-lost "; }
  void OnResetDevice() override { log += name + "-reset "; }
  std::string name;
  std::string& log;
};

TEST(DeviceLoss, HandlersRunInSlotOrderWhateverTheOrderOfJoining) {
  std::string log;
  RecordingHandler simple("simple", log), textures("textures", log), sprites("sprites", log);
  JoinDeviceLoss(DeviceLossSlot::kSimpleDrawing, &simple);
  JoinDeviceLoss(DeviceLossSlot::kSprites2D, &sprites);
  JoinDeviceLoss(DeviceLossSlot::kTextures, &textures);
  NotifyLostDevice();
  NotifyResetDevice();
  LeaveDeviceLoss(DeviceLossSlot::kSprites2D);
  NotifyLostDevice();
  LeaveDeviceLoss(DeviceLossSlot::kSimpleDrawing);
  LeaveDeviceLoss(DeviceLossSlot::kTextures);
  NotifyResetDevice();
  EXPECT_EQ(log,
            "textures-lost sprites-lost simple-lost textures-reset sprites-reset simple-reset "
            "textures-lost simple-lost ");
}

}  // namespace
}  // namespace vela
