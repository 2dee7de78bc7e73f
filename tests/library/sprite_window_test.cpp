// Sprites on Wine's Direct3D 9, below the exports: squares and ribbons filled, uploaded and
// drawn in one call, read back from the back buffer. Depth order whatever the call order, the
// depth range, capacity, the scissor cut that keeps texture and colour in place, perspective,
// ribbons, the creation log, stage binding, and a sprite that draws the same after a forced
// device reset without being filled again.
#include <windows.h>

#include <d3d9.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "graphics/format_kind.h"
#include "graphics/vela3d.h"
#include "image/texture.h"
#include "image/vela_texture.h"
#include "sprite/sprite_2d.h"
#include "sprite/sprite_2d_manager.h"
#include "sprite/vela_sprite.h"
#include "tests/library/library_window_support.h"

namespace vela {
namespace {

using namespace test;

constexpr std::uint32_t kBackground = 0xFF4080C0;
constexpr int kScreenWidth = 320;
constexpr int kScreenHeight = 240;
constexpr int kTolerance = 24;

// Image halves: red on the left (x < 32), blue on the right.
const Rect2D kRedHalf = {0, 0, 32, 64};
const Rect2D kBlueHalf = {32, 0, 32, 64};
const Rect2D kWholeImage = {0, 0, 64, 64};

class Sprites : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    window_.emplace("Vela sprite test", kScreenWidth, kScreenHeight);
    started_ = window_->Started() && VelaTexture::Start() && VelaSprite::Start();
  }
  static void TearDownTestSuite() {
    VelaSprite::Stop();
    VelaTexture::Stop();
    window_.reset();
  }

  void SetUp() override {
    ASSERT_TRUE(started_);
    VelaTexture::SetOffsetUV(0.0f);
    Vela3D::SetBlendingType(0);
    halves_ = VelaTexture::Load(halvesFile_.Path(), FORMAT_TEXTURE_COMPRESSED, 0);
    quadrants_ = VelaTexture::Load(quadrantsFile_.Path(), FORMAT_TEXTURE_COMPRESSED, 0);
    white_ = VelaTexture::Load(whiteFile_.Path(), FORMAT_TEXTURE_COMPRESSED, 0);
    ASSERT_NE(halves_, nullptr);
    ASSERT_NE(quadrants_, nullptr);
    ASSERT_NE(white_, nullptr);
  }
  void TearDown() override {
    ResetSettings();
    for (CSprite2D* sprite : sprites_) sprite->Release();
    EXPECT_EQ(VelaSprite::Manager()->GetCount(), 0u) << "every sprite of the test is gone again";
    VelaTexture::Release(halves_);
    VelaTexture::Release(quadrants_);
    VelaTexture::Release(white_);
  }

  // Scissor and perspective off for every live sprite, as after the boot.
  static void ResetSettings() {
    RECT none = {0, 0, 0, 0};
    Vela3D::SetScissoring(false, &none);
    Vela3D::SetPerspective(false, kScreenWidth * 0.5f, kScreenHeight * 0.5f, 100.0f);
  }

  // A sprite of `capacity` vertices on `texture`, made with scissor and perspective off.
  CSprite2D* Make(std::uint32_t capacity, CTexture* texture) {
    ResetSettings();
    CSprite2D* sprite = VelaSprite::Create(capacity, 1, true);
    if (sprite) {
      sprites_.push_back(sprite);
      VelaSprite::AttatchTexture(sprite, 0, texture);
    }
    return sprite;
  }

  static bool Square(CSprite2D* sprite, float x, float y, float size, float z, const Rect2D& source) {
    return VelaSprite::DrawSquare(sprite, {x, y, size, size}, z, &source, kWhite, 1);
  }

  // Uploads the sprite, draws it on a cleared back buffer and reads the back buffer.
  static Screen Draw(CSprite2D* sprite, bool upload = true) {
    if (upload) VelaSprite::UpdateBuffer(sprite);
    Vela3D::BeginScene();
    Vela3D::Clear(D3DCLEAR_TARGET, kBackground, 1.0f, 0, nullptr);
    VelaSprite::Rendering(sprite);
    Vela3D::EndScene();
    return ReadBackBuffer();
  }

  static inline std::optional<Vela3DWindow> window_;
  static inline bool started_ = false;
  TempFile halvesFile_{"halves.png", Png(64, 64, [](std::uint32_t x, std::uint32_t) { return x < 32 ? kRed : kBlue; })};
  TempFile quadrantsFile_{"quadrants.png", QuadrantPng(64, 64)};
  TempFile whiteFile_{"white.png", Png(8, 8, [](std::uint32_t, std::uint32_t) { return kWhite; })};
  CTexture* halves_ = nullptr;
  CTexture* quadrants_ = nullptr;
  CTexture* white_ = nullptr;
  std::vector<CSprite2D*> sprites_;
};

// Each test starts the device once (one process each) and runs several cases, each a scope
// named by its trace that starts with scissor and perspective off; a failed assertion ends the
// test.
TEST_F(Sprites, DepthOrderAndCapacity) {
  {
    SCOPED_TRACE("TheFartherSquareIsBehindWhateverTheCallOrder");
    CSprite2D* sprite = Make(600, halves_);
    ASSERT_NE(sprite, nullptr);
    for (const bool nearFirst : {true, false}) {
      SCOPED_TRACE(nearFirst ? "near square first" : "far square first");
      VelaSprite::ResetBuffer(sprite);
      if (nearFirst) {
        ASSERT_TRUE(Square(sprite, 40, 40, 120, 100, kRedHalf));
      }
      ASSERT_TRUE(Square(sprite, 100, 80, 120, 60000, kBlueHalf));
      if (!nearFirst) {
        ASSERT_TRUE(Square(sprite, 40, 40, 120, 100, kRedHalf));
      }
      const Screen shown = Draw(sprite);
      EXPECT_PIXEL(shown, 130, 130, kRed, kTolerance);  // the overlap: the near square in front
      EXPECT_PIXEL(shown, 60, 60, kRed, kTolerance);
      EXPECT_PIXEL(shown, 200, 180, kBlue, kTolerance);
      EXPECT_PIXEL(shown, 250, 30, kBackground, kTolerance);
    }
  }
  {
    SCOPED_TRACE("AtEqualDepthTheEarlierSquareIsDrawnOnTop");
    CSprite2D* sprite = Make(600, halves_);
    ASSERT_NE(sprite, nullptr);
    ASSERT_TRUE(Square(sprite, 40, 40, 120, 5000, kRedHalf));
    ASSERT_TRUE(Square(sprite, 100, 80, 120, 5000, kBlueHalf));
    const Screen shown = Draw(sprite);
    EXPECT_PIXEL(shown, 130, 130, kRed, kTolerance);
    EXPECT_PIXEL(shown, 200, 180, kBlue, kTolerance);
  }
  {
    SCOPED_TRACE("DepthsOutsideTheRangeAreNotDrawnAndTheFarthestInsideIs");
    CSprite2D* sprite = Make(600, halves_);
    ASSERT_NE(sprite, nullptr);
    EXPECT_TRUE(Square(sprite, 20, 20, 60, 65535, kRedHalf));
    EXPECT_TRUE(Square(sprite, 120, 20, 60, -100, kRedHalf));
    EXPECT_TRUE(Square(sprite, 220, 20, 60, 65534, kBlueHalf));
    EXPECT_TRUE(Square(sprite, 120, 120, 60, 0, kBlueHalf));
    const Screen shown = Draw(sprite);
    EXPECT_PIXEL(shown, 50, 50, kBackground, kTolerance);
    EXPECT_PIXEL(shown, 150, 50, kBackground, kTolerance);
    EXPECT_PIXEL(shown, 250, 50, kBlue, kTolerance);
    EXPECT_PIXEL(shown, 150, 150, kBlue, kTolerance);
    EXPECT_EQ(sprite->GetRequestedCount(), 24u);
  }
  {
    SCOPED_TRACE("ACapacityOfTwelveTakesTwoSquaresAndNoThird");
    CSprite2D* sprite = Make(12, halves_);
    ASSERT_NE(sprite, nullptr);
    EXPECT_TRUE(Square(sprite, 20, 20, 60, 100, kRedHalf));
    EXPECT_TRUE(Square(sprite, 120, 20, 60, 100, kRedHalf));
    EXPECT_FALSE(Square(sprite, 220, 20, 60, 100, kRedHalf));
    const Screen shown = Draw(sprite);
    EXPECT_PIXEL(shown, 50, 50, kRed, kTolerance);
    EXPECT_PIXEL(shown, 150, 50, kRed, kTolerance);
    EXPECT_PIXEL(shown, 250, 50, kBackground, kTolerance);
  }
}

TEST_F(Sprites, ScissorPerspectiveAndRibbons) {
  {
    SCOPED_TRACE("TheScissorCutsASquareAndLeavesItsPictureInPlace");
    CSprite2D* sprite = Make(600, quadrants_);
    ASSERT_NE(sprite, nullptr);
    RECT scissor = {100, 100, 220, 220};
    Vela3D::SetScissoring(true, &scissor);
    // The picture's quadrants meet at (120, 120); the cut keeps them there (a picture squeezed
    // into what is left would meet at about (150, 150)).
    ASSERT_TRUE(Square(sprite, 40, 40, 160, 100, kWholeImage));
    const Screen shown = Draw(sprite);
    EXPECT_PIXEL(shown, 90, 130, kBackground, kTolerance);
    EXPECT_PIXEL(shown, 130, 90, kBackground, kTolerance);
    EXPECT_PIXEL(shown, 110, 110, kRed, kTolerance);
    EXPECT_PIXEL(shown, 135, 110, kGreen, kTolerance);
    EXPECT_PIXEL(shown, 110, 135, kBlue, kTolerance);
    EXPECT_PIXEL(shown, 135, 135, kWhite, kTolerance);
    EXPECT_PIXEL(shown, 190, 190, kWhite, kTolerance);
    EXPECT_PIXEL(shown, 210, 190, kBackground, kTolerance);  // the square ends at 200
  }
  {
    SCOPED_TRACE("TheScissorCutsARibbonWithItsColourInterpolatedAtTheCut");
    CSprite2D* sprite = Make(600, white_);
    ASSERT_NE(sprite, nullptr);
    RECT scissor = {0, 0, 160, 240};
    Vela3D::SetScissoring(true, &scissor);
    // Black at x = 20 to white at x = 300: grey 118 at x = 150, close to the cut at 159.
    const float x[] = {20, 300}, y[] = {120, 120}, z[] = {100, 100}, halfWidth[] = {20, 20};
    const std::int32_t angle[] = {0, 0};
    const std::uint32_t colour[] = {0xFF000000, 0xFFFFFFFF};
    auto bytes = [](const auto& values) { return reinterpret_cast<const std::byte*>(values); };
    VelaSprite::DrawList(sprite, {bytes(x), bytes(y), bytes(z), bytes(halfWidth), bytes(angle), bytes(colour), 2},
                         {0, 0, 8, 8});
    const Screen shown = Draw(sprite);
    EXPECT_PRED3(Near, shown.At(150, 120), 0x767676u, 10);
    EXPECT_PRED3(Near, shown.At(60, 120), 0x252525u, 10);
    EXPECT_PIXEL(shown, 170, 120, kBackground, kTolerance);
    EXPECT_PIXEL(shown, 60, 90, kBackground, kTolerance);
  }
  {
    SCOPED_TRACE("PerspectivePullsAFarSquareTowardTheCentre");
    CSprite2D* sprite = Make(600, halves_);
    ASSERT_NE(sprite, nullptr);
    // Centre (0, 0), depth factor 0.2: depth 60000 shrinks offsets to about 0.923.
    Vela3D::SetPerspective(true, 0.0f, 0.0f, 0.2f);
    ASSERT_TRUE(Square(sprite, 150, 100, 100, 60000, kRedHalf));
    Screen shown = Draw(sprite);
    EXPECT_PIXEL(shown, 200, 150, kRed, kTolerance);
    EXPECT_PIXEL(shown, 240, 150, kBackground, kTolerance);
    EXPECT_PIXEL(shown, 200, 190, kBackground, kTolerance);
    EXPECT_PIXEL(shown, 145, 95, kRed, kTolerance);  // the far square's top-left moved up and left

    // At the middle depth nothing moves.
    VelaSprite::ResetBuffer(sprite);
    ASSERT_TRUE(Square(sprite, 150, 100, 100, 32767, kRedHalf));
    shown = Draw(sprite);
    EXPECT_PIXEL(shown, 240, 150, kRed, kTolerance);
    EXPECT_PIXEL(shown, 145, 95, kBackground, kTolerance);
  }
  {
    SCOPED_TRACE("ARibbonRunsThroughItsPointsWithTheTextureAcrossIt");
    CSprite2D* sprite = Make(600, halves_);
    ASSERT_NE(sprite, nullptr);
    const float x[] = {40, 160, 280}, y[] = {120, 60, 120}, z[] = {100, 100, 100}, halfWidth[] = {15, 15, 15};
    const std::int32_t angle[] = {0, 0, 0};
    const std::uint32_t colour[] = {kWhite, kWhite, kWhite};
    auto bytes = [](const auto& values) { return reinterpret_cast<const std::byte*>(values); };
    VelaSprite::DrawList(sprite, {bytes(x), bytes(y), bytes(z), bytes(halfWidth), bytes(angle), bytes(colour), 3},
                         kWholeImage);
    EXPECT_EQ(sprite->Batch().VertexCount(), 12u);
    const Screen shown = Draw(sprite);
    // Each point is widened 15 pixels up and down: the image's left half above, right half below.
    EXPECT_PIXEL(shown, 45, 110, kRed, kTolerance);
    EXPECT_PIXEL(shown, 45, 128, kBlue, kTolerance);
    EXPECT_PIXEL(shown, 100, 84, kRed, kTolerance);  // half way along the first segment, centred on y = 90
    EXPECT_PIXEL(shown, 100, 96, kBlue, kTolerance);
    EXPECT_PIXEL(shown, 100, 115, kBackground, kTolerance);
    EXPECT_PIXEL(shown, 100, 65, kBackground, kTolerance);
    EXPECT_PIXEL(shown, 220, 84, kRed, kTolerance);
    EXPECT_PIXEL(shown, 300, 120, kBackground, kTolerance);
  }
}

TEST_F(Sprites, DeviceResetStagesAndLog) {
  {
    SCOPED_TRACE("AfterAForcedRestoreTheSpriteDrawsTheSameWithoutBeingFilledAgain");
    CSprite2D* sprite = Make(600, halves_);
    ASSERT_NE(sprite, nullptr);
    ASSERT_TRUE(Square(sprite, 40, 40, 120, 100, kRedHalf));
    ASSERT_TRUE(Square(sprite, 100, 80, 120, 60000, kBlueHalf));
    const Screen before = Draw(sprite);
    EXPECT_PIXEL(before, 130, 130, kRed, kTolerance);

    Vela3D::Restore(true);
    ASSERT_NE(sprite->VertexBuffer(), nullptr);
    const Screen after = Draw(sprite, false);
    int differing = 0;
    for (std::size_t i = 0; i < before.pixels.size(); ++i) differing += (before.pixels[i] & 0xFFFFFF) != (after.pixels[i] & 0xFFFFFF);
    EXPECT_EQ(differing, 0);
    EXPECT_PIXEL(after, 200, 180, kBlue, kTolerance);
  }
  {
    SCOPED_TRACE("RenderingBindsAllFourStagesEvenWhenEmpty");
    CSprite2D* sprite = Make(600, halves_);
    ASSERT_NE(sprite, nullptr);
    IDirect3DDevice9* device = Vela3D::Device();
    IDirect3DTexture9* other = nullptr;
    quadrants_->GetTexture(&other);
    ASSERT_NE(other, nullptr);
    device->SetTexture(1, other);
    Vela3D::BeginScene();
    VelaSprite::Rendering(sprite);
    Vela3D::EndScene();
    IDirect3DBaseTexture9* bound = nullptr;
    device->GetTexture(1, &bound);
    EXPECT_EQ(bound, nullptr) << "stage 1 is unbound";
    if (bound) bound->Release();
    IDirect3DTexture9* own = nullptr;
    halves_->GetTexture(&own);
    device->GetTexture(0, &bound);
    EXPECT_EQ(bound, own);
    if (bound) bound->Release();
    if (own) own->Release();
    other->Release();
  }
  {
    SCOPED_TRACE("CreationAndDestructionAreLogged");
    ResetSettings();
    LogCapture log;
    CSprite2D* sprite = VelaSprite::Create(600, 1, true);
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->Batch().BufferBytes(), 16800u);
    EXPECT_EQ(sprite->Batch().StoreBytes(), 32000u);
    sprite->Release();
    EXPECT_EQ(VelaSprite::Create(0, 1, true), nullptr);
    const std::string text = log.Text();
    EXPECT_NE(text.find("CSprite2D::Create"), std::string::npos);
    EXPECT_NE(text.find("VERTEX COUNT [  600 ] : VERTEX SIZE [  28BYTE ] : "), std::string::npos) << text;
    EXPECT_NE(text.find("Success!"), std::string::npos);
    EXPECT_NE(text.find("頂点バッファの生成に失敗 ["), std::string::npos) << text;
    EXPECT_NE(text.find("Failed!"), std::string::npos);
    EXPECT_NE(text.find("CSprite2D Destruct"), std::string::npos);
    EXPECT_NE(text.find("CPrimitive2D Destruct"), std::string::npos);
  }
}

}  // namespace
}  // namespace vela
