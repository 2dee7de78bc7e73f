// Textures below the exports: render-target textures and their copies, drawing without the
// vertex buffer, and what survives a forced device reset.

#include <optional>

#include "graphics/format_kind.h"
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
struct DrawDuringLoss final : DeviceLossHandler {
  explicit DrawDuringLoss(CTexture* drawn) : texture(drawn) {}
  void OnLostDevice() override {
    bufferGone = !VelaSimple::HasVertexBuffer();
    VelaTexture::Draw(texture, &kDestination, &kWholeImage, kWhite);
  }
  void OnResetDevice() override {}
  CTexture* texture;
  bool bufferGone = false;
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
  EXPECT_EQ(Occurrences(log.Text(), "<FONT color=\"RED\">"), 0);
  LeaveDeviceLoss(DeviceLossSlot::kShaderEffects);
  EXPECT_TRUE(during.bufferGone);

  const Screen shown = DrawFrame(kBackground, [&] { VelaTexture::Draw(texture, &kDestination, &kWholeImage, kWhite); });
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
  const Screen shown = DrawFrame(kBackground, [&] { VelaTexture::Draw(texture, &kDestination, &kWholeImage, kWhite); });
  VelaSimple::Restore();
  EXPECT_EQ(Occurrences(log.Text(), "<FONT"), 0);
  EXPECT_PIXEL(shown, 35, 32, kBackground, 0);
  ASSERT_TRUE(VelaSimple::HasVertexBuffer());

  // More vertices than the buffer holds draw nothing either.
  std::vector<Vertex2D> many(VelaSimple::kMaxVertices + 1, Vertex2D{50, 50, 0, 1, kWhite, {}});
  const Screen none = DrawFrame(kBackground, [&] { VelaSimple::DrawPolygon(many.data(), static_cast<std::uint32_t>(many.size()), nullptr, 0); });
  EXPECT_PIXEL(none, 50, 50, kBackground, 0);
  VelaTexture::Release(texture);
}

}  // namespace
}  // namespace vela
