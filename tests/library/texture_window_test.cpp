// Textures and the immediate texture drawing on Wine's Direct3D 9, below the exports, where no
// export reaches: render-target textures and their copies, drawing without the vertex buffer,
// and what survives a forced device reset. (Loading and drawing are seen through the exports in
// tests/host; sprites after a restore in the device fault tests.)
#include <windows.h>

#include <d3d9.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "core/device_loss.h"
#include "graphics/format_kind.h"
#include "graphics/vela3d.h"
#include "image/texture.h"
#include "image/texture_manager.h"
#include "image/vela_simple.h"
#include "image/vela_texture.h"
#include "tests/library/library_window_support.h"

namespace vela {
namespace {

using namespace test;

constexpr std::uint32_t kBackground = 0xFF4080C0;
constexpr Rect2D kWholeImage = {0, 0, 100, 50};
constexpr Rect2D kDestination = {10, 20, 100, 50};

class Textures : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    window_.emplace("Vela texture test", 320, 240);
    started_ = window_->Started() && VelaTexture::Start() && VelaSimple::Initialize();
  }
  static void TearDownTestSuite() {
    VelaSimple::Shutdown();
    VelaTexture::Stop();
    window_.reset();
  }
  void SetUp() override { ASSERT_TRUE(started_); }

  // Clears the back buffer, runs `draw` in a scene and reads the back buffer.
  template <typename Draw>
  static Screen Frame(Draw draw) {
    Vela3D::BeginScene();
    Vela3D::Clear(D3DCLEAR_TARGET, kBackground, 1.0f, 0, nullptr);
    draw();
    Vela3D::EndScene();
    return ReadBackBuffer();
  }

  // The 32-bit pixel at (8, 8) of level 0, through the texture's own lock.
  static std::uint32_t ReadPixel(CTexture* texture) {
    void* bits = nullptr;
    std::uint32_t pitch = 0, pixel = 0;
    if (!texture->Lock(nullptr, &bits, &pitch, nullptr, nullptr, nullptr)) return 0xDEADBEEF;
    std::memcpy(&pixel, static_cast<const std::uint8_t*>(bits) + 8 * pitch + 8 * 4, 4);
    texture->Unlock();
    return pixel & 0xFFFFFF;
  }

  static inline std::optional<Vela3DWindow> window_;
  static inline bool started_ = false;
  TempFile quadrants_{"quadrants.png", QuadrantPng(100, 50)};
};

// Draws during the device loss, after the drawing buffer and the textures are gone: the slot
// after VelaSimple's is reached between the release and the re-creation.
class DrawDuringLoss final : public DeviceLossHandler {
 public:
  explicit DrawDuringLoss(CTexture* texture) : texture_(texture) {}
  void OnLostDevice() override {
    bufferGone = !VelaSimple::HasVertexBuffer();
    VelaTexture::Draw(texture_, &kDestination, &kWholeImage, kWhite);
    drew = true;
  }
  void OnResetDevice() override {}
  bool drew = false;
  bool bufferGone = false;

 private:
  CTexture* texture_;
};

TEST_F(Textures, AfterAForcedResetTexturesShowTheirPixelsAndTargetsComeBackEmpty) {
  CTexture* texture = VelaTexture::Load(quadrants_.Path(), FORMAT_TEXTURE_COMPRESSED, 0);
  CTexture* target = VelaTexture::Manager()->CreateRenderTarget(16, 16, FORMAT_TARGET32);
  ASSERT_TRUE(texture && target);
  ASSERT_TRUE(target->SetRenderTarget());
  Vela3D::Clear(D3DCLEAR_TARGET, kGreen, 1.0f, 0, nullptr);
  Vela3D::FrameStep();  // the back buffer is the target again
  CTexture* copy = VelaTexture::Manager()->CreateCopy(target);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(ReadPixel(copy), Rgb(kGreen)) << "the copy holds what was drawn into the target";

  DrawDuringLoss during(texture);
  JoinDeviceLoss(DeviceLossSlot::kShaderEffects, &during);
  LogCapture log;
  Vela3D::Restore(true);
  EXPECT_EQ(log.Text().find("<FONT color=\"RED\">"), std::string::npos) << "nothing reported: " << log.Text();
  LeaveDeviceLoss(DeviceLossSlot::kShaderEffects);
  EXPECT_TRUE(during.drew);
  EXPECT_TRUE(during.bufferGone);
  EXPECT_TRUE(VelaSimple::HasVertexBuffer());

  const Screen shown = Frame([&] { VelaTexture::Draw(texture, &kDestination, &kWholeImage, kWhite); });
  EXPECT_PIXEL(shown, 35, 32, kRed, 8);
  EXPECT_PIXEL(shown, 85, 57, kWhite, 8);
  EXPECT_NE(ReadPixel(target), Rgb(kGreen)) << "a render target comes back without its old pixels";
  for (CTexture* each : {copy, target, texture}) VelaTexture::Release(each);
}

TEST_F(Textures, DrawingWithoutTheVertexBufferDrawsNothingAndSaysNothing) {
  CTexture* texture = VelaTexture::Load(quadrants_.Path(), FORMAT_TEXTURE_COMPRESSED, 0);
  ASSERT_NE(texture, nullptr);
  VelaSimple::Finalize();
  LogCapture log;
  const Screen shown = Frame([&] { VelaTexture::Draw(texture, &kDestination, &kWholeImage, kWhite); });
  VelaSimple::Restore();
  EXPECT_EQ(log.Text().find("<FONT"), std::string::npos);
  EXPECT_PIXEL(shown, 35, 32, kBackground, 0);
  ASSERT_TRUE(VelaSimple::HasVertexBuffer());

  // More vertices than the buffer holds draw nothing either.
  std::vector<Vertex2D> many(VelaSimple::kMaxVertices + 1, Vertex2D{50, 50, 0, 1, kWhite, {}});
  const Screen none = Frame([&] { VelaSimple::DrawPolygon(many.data(), static_cast<std::uint32_t>(many.size()), nullptr, 0); });
  EXPECT_PIXEL(none, 50, 50, kBackground, 0);
  VelaTexture::Release(texture);
}

}  // namespace
}  // namespace vela
