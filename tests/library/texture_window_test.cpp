// Textures and the immediate texture drawing on Wine's Direct3D 9, below the exports: images
// loaded from files into power-of-two textures, shared by path, drawn as quads and read back
// from the back buffer, the UV inset, rotation, mirroring and the blending types, pixel access,
// and the life of textures and of the drawing's vertex buffer across a forced device reset.
#include <windows.h>

#include <d3d9.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/device_loss.h"
#include "core/error_text.h"
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

  void SetUp() override {
    ASSERT_TRUE(started_);
    manager_ = VelaTexture::Manager();
    ASSERT_NE(manager_, nullptr);
    listed_ = manager_->GetCount();
    VelaTexture::SetOffsetUV(0.0f);
    Vela3D::SetBlendingType(0);
  }
  void TearDown() override {
    for (CTexture* texture : held_) VelaTexture::Release(texture);
    EXPECT_EQ(manager_->GetCount(), listed_) << "every texture of the test is gone again";
  }

  CTexture* Hold(CTexture* texture) {
    if (texture) held_.push_back(texture);
    return texture;
  }

  // Clears the back buffer, runs `draw` in a scene and reads the back buffer.
  template <typename Draw>
  Screen Frame(Draw draw) {
    Vela3D::BeginScene();
    Vela3D::Clear(D3DCLEAR_TARGET, kBackground, 1.0f, 0, nullptr);
    draw();
    Vela3D::EndScene();
    return ReadBackBuffer();
  }

  // The 32-bit pixel at (x, y) of level 0, through the texture's own lock.
  static bool ReadPixel(CTexture* texture, std::uint32_t x, std::uint32_t y, std::uint32_t& pixel) {
    void* bits = nullptr;
    std::uint32_t pitch = 0;
    if (!texture->Lock(nullptr, &bits, &pitch, nullptr, nullptr, nullptr)) return false;
    std::memcpy(&pixel, static_cast<const std::uint8_t*>(bits) + y * pitch + x * 4, 4);
    texture->Unlock();
    return true;
  }

  // The 100 x 50 quadrant picture loaded from a file, as TextureLoad loads it.
  CTexture* LoadQuadrants(const TempFile& file) {
    return Hold(VelaTexture::Load(file.Path(), FORMAT_TEXTURE_COMPRESSED, 0));
  }

  static inline std::optional<Vela3DWindow> window_;
  static inline bool started_ = false;
  CTextureManager* manager_ = nullptr;
  std::uint32_t listed_ = 0;
  std::vector<CTexture*> held_;
};

constexpr Rect2D kWholeImage = {0, 0, 100, 50};

TEST_F(Textures, AnImageLoadsIntoAPowerOfTwoDxt5TextureMeasuredInImagePixels) {
  const TempFile file("sizes.png", Png(100, 60, [](std::uint32_t, std::uint32_t) { return kRed; }));
  CTexture* texture = Hold(VelaTexture::Load(file.Path(), FORMAT_TEXTURE_COMPRESSED, 0));
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(texture->GetWidth(), 128u);
  EXPECT_EQ(texture->GetHeight(), 64u);
  EXPECT_EQ(texture->GetImageWidth(), 100u);
  EXPECT_EQ(texture->GetFormat(), D3DFMT_DXT5) << "Wine's adapter takes DXT5";
  EXPECT_FLOAT_EQ(VelaTexture::ToU(texture, 100), 1.0f);
  EXPECT_FLOAT_EQ(VelaTexture::ToU(texture, 50), 0.5f);
  EXPECT_FLOAT_EQ(VelaTexture::ToV(texture, 30), 0.5f);
  EXPECT_FLOAT_EQ(VelaTexture::ToU(nullptr, 50), 0.0f);
  EXPECT_STRCASEEQ(texture->GetName(), file.Path()) << "named by the path under which it was found";

  const TempFile tiny("tiny.png", Png(1, 1, [](std::uint32_t, std::uint32_t) { return kRed; }));
  CTexture* one = Hold(VelaTexture::Load(tiny.Path(), FORMAT_TEXTURE32, 0));
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(one->GetWidth(), 1u);
  EXPECT_EQ(one->GetFormat(), D3DFMT_A8R8G8B8);
}

TEST_F(Textures, TheSameFileLoadedTwiceIsOneTextureUntilItsSecondRelease) {
  const TempFile file("shared.png", QuadrantPng(100, 50));
  CTexture* first = VelaTexture::Load(file.Path(), FORMAT_TEXTURE_COMPRESSED, 0);
  ASSERT_NE(first, nullptr);
  std::string otherCase = file.Path();
  for (char& c : otherCase) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  CTexture* second = VelaTexture::Load(otherCase.c_str(), FORMAT_TEXTURE32, 0x12345678);
  EXPECT_EQ(second, first) << "the resolved path is compared without the case of its letters";
  EXPECT_EQ(first->GetRefCount(), 2);
  EXPECT_EQ(manager_->GetCount(), listed_ + 1);

  VelaTexture::Release(second);
  EXPECT_EQ(manager_->GetCount(), listed_ + 1);
  const Rect2D destination = {10, 20, 100, 50};
  const Screen shown = Frame([&] { VelaTexture::Draw(first, &destination, &kWholeImage, kWhite); });
  EXPECT_PIXEL(shown, 35, 32, kRed, 8) << "still usable after one release";
  VelaTexture::Release(first);
  EXPECT_EQ(manager_->GetCount(), listed_) << "gone after the second";
  VelaTexture::Release(nullptr);
}

TEST_F(Textures, AMissingFileAnswersNullAndLogsNothingWhileNoImageLogsItsReadingFailure) {
  LogCapture log;
  const std::string missing = TempPath("no_such_texture.png");
  EXPECT_EQ(VelaTexture::Load(missing.c_str(), FORMAT_TEXTURE_COMPRESSED, 0), nullptr);
  EXPECT_EQ(VelaTexture::Load(nullptr, FORMAT_TEXTURE_COMPRESSED, 0), nullptr);
  EXPECT_EQ(log.Text().find("CTexture"), std::string::npos) << log.Text();

  LogCapture second;
  const TempFile junk("junk.png", std::vector<std::uint8_t>(64, 0x5A));
  EXPECT_EQ(VelaTexture::Load(junk.Path(), FORMAT_TEXTURE_COMPRESSED, 0), nullptr);
  EXPECT_EQ(manager_->GetCount(), listed_) << "a failed load leaves nothing in the list";
  const std::string text = second.Text();
  EXPECT_NE(text.find("CTexture::CreateFromFile"), std::string::npos) << text;
  EXPECT_NE(text.find(std::string(" : [ ") + junk.Path() + " ] : "), std::string::npos) << text;
  EXPECT_NE(text.find("ファイルの読み込みに失敗しました [ "), std::string::npos) << text;
  EXPECT_NE(text.find("画像データの展開に失敗"), std::string::npos) << text;
  EXPECT_NE(text.find("Failed!"), std::string::npos) << text;
}

TEST_F(Textures, ASuccessfulLoadLogsItsSizeFormatAndSuccess) {
  const TempFile file("logged.png", QuadrantPng(100, 50));
  LogCapture log;
  ASSERT_NE(LoadQuadrants(file), nullptr);
  const std::string text = log.Text();
  EXPECT_NE(text.find("SIZE [ 128 x 64 ] FORMAT [ DXT5 ] MIPMAP [ 1 ] : "), std::string::npos) << text;
  EXPECT_NE(text.find("Success!"), std::string::npos) << text;
}

TEST_F(Textures, DrawPlacesTheImageOnExactlyItsDestinationPixels) {
  const TempFile file("quadrants.png", QuadrantPng(100, 50));
  CTexture* texture = LoadQuadrants(file);
  ASSERT_NE(texture, nullptr);
  const Rect2D destination = {10, 20, 100, 50};
  const Screen shown = Frame([&] { VelaTexture::Draw(texture, &destination, &kWholeImage, kWhite); });
  ASSERT_FALSE(shown.pixels.empty());
  EXPECT_PIXEL(shown, 35, 32, kRed, 8);
  EXPECT_PIXEL(shown, 85, 32, kGreen, 8);
  EXPECT_PIXEL(shown, 35, 57, kBlue, 8);
  EXPECT_PIXEL(shown, 85, 57, kWhite, 8);
  // The corners are covered, the pixels beside them are not.
  EXPECT_PIXEL(shown, 10, 20, kRed, 24);
  EXPECT_PIXEL(shown, 109, 20, kGreen, 24);
  EXPECT_PIXEL(shown, 10, 69, kBlue, 24);
  EXPECT_PIXEL(shown, 109, 69, kWhite, 24);
  for (auto [x, y] : {std::pair{9, 20}, {10, 19}, {110, 69}, {109, 70}, {9, 69}, {110, 20}}) {
    EXPECT_PIXEL(shown, x, y, kBackground, 0);
  }
}

TEST_F(Textures, TheVertexColourModulatesAndANullTextureDrawsItPlain) {
  const TempFile file("modulated.png", QuadrantPng(100, 50));
  CTexture* texture = LoadQuadrants(file);
  const Rect2D destination = {10, 20, 100, 50};
  const Rect2D plain = {150, 20, 40, 40};
  const Screen shown = Frame([&] {
    VelaTexture::Draw(texture, &destination, &kWholeImage, 0xFF00FFFF);
    VelaTexture::Draw(nullptr, &plain, &kWholeImage, kGreen);
  });
  EXPECT_PIXEL(shown, 85, 57, 0xFF00FFFF, 8) << "white times cyan";
  EXPECT_PIXEL(shown, 35, 32, kBlack, 8) << "red times cyan";
  EXPECT_PIXEL(shown, 170, 40, kGreen, 0);
}

TEST_F(Textures, AQuarterTurnIsClockwiseAboutTheCentreAndOnlyTheLowSixteenBitsCount) {
  const TempFile file("rotated.png", QuadrantPng(100, 50));
  CTexture* texture = LoadQuadrants(file);
  const Rect2D destination = {10, 20, 100, 50};  // centre (60, 45)
  const Screen quarter =
      Frame([&] { VelaTexture::DrawRotate(texture, &destination, &kWholeImage, kWhite, 16384, 0, 0); });
  // Upright 50 wide and 100 tall about the same centre: the top edge (red, green) is now the
  // right-hand side, read downward.
  EXPECT_PIXEL(quarter, 72, 20, kRed, 8);
  EXPECT_PIXEL(quarter, 72, 70, kGreen, 8);
  EXPECT_PIXEL(quarter, 48, 20, kBlue, 8);
  EXPECT_PIXEL(quarter, 48, 70, kWhite, 8);
  EXPECT_PIXEL(quarter, 20, 45, kBackground, 0) << "left of the turned quad";
  EXPECT_PIXEL(quarter, 100, 45, kBackground, 0);
  EXPECT_PIXEL(quarter, 72, 93, kGreen, 24) << "the turned quad reaches down to 95";
  EXPECT_PIXEL(quarter, 72, 96, kBackground, 0);

  const Screen wrapped =
      Frame([&] { VelaTexture::DrawRotate(texture, &destination, &kWholeImage, kWhite, 65536 + 16384, 0, 0); });
  EXPECT_EQ(wrapped.pixels, quarter.pixels);

  // A centre offset moves the centre of the turn (and the quad with it) by the offset.
  const Screen moved =
      Frame([&] { VelaTexture::DrawRotate(texture, &destination, &kWholeImage, kWhite, 0, 20, 10); });
  EXPECT_PIXEL(moved, 35, 32, kRed, 8) << "angle 0 keeps the destination whatever the offset";
}

TEST_F(Textures, ANegativeWidthMirrors) {
  const TempFile file("mirrored.png", QuadrantPng(100, 50));
  CTexture* texture = LoadQuadrants(file);
  const Rect2D mirrored = {110, 20, -100, 50};
  const Screen shown = Frame([&] { VelaTexture::Draw(texture, &mirrored, &kWholeImage, kWhite); });
  EXPECT_PIXEL(shown, 85, 32, kRed, 8);
  EXPECT_PIXEL(shown, 35, 32, kGreen, 8);
  EXPECT_PIXEL(shown, 85, 57, kBlue, 8);
  EXPECT_PIXEL(shown, 35, 57, kWhite, 8);
}

// A 4 x 4 image of two black columns and two white ones, stretched 50 times: at the left edge
// the linear filter reaches half a texel beyond the image and wraps to the white column, unless
// the inset of half a pixel keeps the sampling inside.
TEST_F(Textures, AnInsetOfHalfAPixelKeepsTheFilterInsideTheSourceRectangle) {
  const TempFile file("inset.png", Png(4, 4, [](std::uint32_t x, std::uint32_t) { return x < 2 ? kBlack : kWhite; }));
  CTexture* texture = Hold(VelaTexture::Load(file.Path(), FORMAT_TEXTURE32, 0));
  ASSERT_NE(texture, nullptr);
  const Rect2D destination = {10, 10, 200, 200};
  const Rect2D source = {0, 0, 4, 4};
  const Screen bare = Frame([&] { VelaTexture::Draw(texture, &destination, &source, kWhite); });
  VelaTexture::SetOffsetUV(0.5f);
  EXPECT_FLOAT_EQ(VelaTexture::GetOffsetUV(), 0.5f);
  const Screen inset = Frame([&] { VelaTexture::Draw(texture, &destination, &source, kWhite); });
  EXPECT_PIXEL(bare, 10, 110, 0x7F7F7F, 16) << "half the wrapped white column";
  EXPECT_PIXEL(inset, 10, 110, kBlack, 4);
  EXPECT_PIXEL(bare, 209, 110, 0x7F7F7F, 16);
  EXPECT_PIXEL(inset, 209, 110, kWhite, 4);
}

TEST_F(Textures, TheFilterSwitchSetsTheInset) {
  VelaTexture::SetFilter(true);
  EXPECT_FLOAT_EQ(VelaTexture::GetOffsetUV(), 0.5f);
  VelaTexture::SetFilter(false);
  EXPECT_FLOAT_EQ(VelaTexture::GetOffsetUV(), 0.0f);
  // Back to the start-up filters, for the tests that run after this one in the same process.
  for (DWORD sampler = 0; sampler < 4; ++sampler) {
    Vela3D::SetSamplerState(sampler, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    Vela3D::SetSamplerState(sampler, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
  }
}

// Magenta at half alpha over the background, blended by each type; the expected colours follow
// the blend factors of each type.
TEST_F(Textures, EachBlendingTypeGivesItsColourOverTheBackground) {
  const TempFile file("blend.png", Png(8, 8, [](std::uint32_t, std::uint32_t) { return 0x80FF00FFu; }));
  CTexture* texture = Hold(VelaTexture::Load(file.Path(), FORMAT_TEXTURE_COMPRESSED, 0));
  ASSERT_NE(texture, nullptr);
  const double alpha = 128.0 / 255.0;
  const double src[3] = {255, 0, 255};
  const double dst[3] = {0x40, 0x80, 0xC0};
  auto expected = [&](int type) {
    std::uint32_t colour = 0;
    for (int c = 0; c < 3; ++c) {
      const double s = src[c] / 255.0, d = dst[c] / 255.0;
      double out = 0;
      switch (type) {
        case 0: out = s; break;
        case 1: out = s * alpha + d * (1 - alpha); break;
        case 2: out = s * alpha + d; break;
        case 3: out = s + d; break;
        case 4: out = d * s; break;
        case 5: out = s * (1 - d); break;
      }
      const auto byte = static_cast<std::uint32_t>(std::min(out, 1.0) * 255.0 + 0.5);
      colour |= byte << (16 - 8 * c);
    }
    return colour;
  };
  const Rect2D destination = {20, 20, 40, 40};
  const Rect2D source = {0, 0, 8, 8};
  for (int type = 0; type <= 5; ++type) {
    Vela3D::SetBlendingType(static_cast<std::uint32_t>(type));
    const Screen shown = Frame([&] { VelaTexture::Draw(texture, &destination, &source, kWhite); });
    EXPECT_PIXEL(shown, 40, 40, expected(type), 3) << "blending type " << type;
    EXPECT_PIXEL(shown, 100, 100, kBackground, 0);
  }
  Vela3D::SetBlendingType(0);
}

TEST_F(Textures, LockTwiceAnswersTrueAndSaysSo) {
  CTexture* texture = Hold(VelaTexture::Create(16, 16, FORMAT_TEXTURE32));
  ASSERT_NE(texture, nullptr);
  EXPECT_STREQ(texture->GetName(), "OFFSCREEN [16x16] A8R8G8B8");
  LogCapture log;
  void* bits = nullptr;
  std::uint32_t pitch = 0, width = 0, height = 0;
  D3DFORMAT format = D3DFMT_UNKNOWN;
  ASSERT_TRUE(texture->Lock(nullptr, &bits, &pitch, &width, &height, &format));
  EXPECT_NE(bits, nullptr);
  EXPECT_GE(pitch, 64u);
  EXPECT_EQ(width, 16u);
  EXPECT_EQ(format, D3DFMT_A8R8G8B8);
  EXPECT_TRUE(texture->Lock(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
  texture->Unlock();
  EXPECT_FALSE(texture->IsLocked());
  const RECT part = {4, 4, 12, 8};
  ASSERT_TRUE(texture->Lock(&part, &bits, &pitch, &width, &height, nullptr));
  EXPECT_EQ(width, 8u);
  EXPECT_EQ(height, 4u);
  texture->Unlock();
  EXPECT_NE(log.Text().find("テクスチャは既にロックされています"), std::string::npos);
}

TEST_F(Textures, FillWritesTheWordOfTheFormatOverTheWholeLevel) {
  CTexture* texture = Hold(manager_->CreateEx(16, 8, 1, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED));
  ASSERT_NE(texture, nullptr);
  EXPECT_STREQ(texture->GetName(), "OFFSCREEN_EX [16x8] A4R4G4B4");
  texture->Fill(0x80FF8000);
  void* bits = nullptr;
  std::uint32_t pitch = 0, height = 0;
  ASSERT_TRUE(texture->Lock(nullptr, &bits, &pitch, nullptr, &height, nullptr));
  int wrong = 0;
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < 16 * 2; x += 4) {
      std::uint32_t word;
      std::memcpy(&word, static_cast<std::uint8_t*>(bits) + y * pitch + x, 4);
      wrong += word != 0x8F808F80u;
    }
  }
  texture->Unlock();
  EXPECT_EQ(wrong, 0);
}

TEST_F(Textures, ATextureLoadedFromMemoryOrAQpkFailsCleanly) {
  const std::vector<std::uint8_t> png = QuadrantPng(100, 50);
  CTexture* texture =
      Hold(manager_->CreateFromMemory(png.data(), static_cast<std::uint32_t>(png.size()), FORMAT_TEXTURE32, 0));
  ASSERT_NE(texture, nullptr);
  EXPECT_STREQ(texture->GetName(), "");
  EXPECT_EQ(texture->GetWidth(), 128u);
  EXPECT_EQ(manager_->CreateFromMemory(png.data(), 10, FORMAT_TEXTURE32, 0), nullptr);

  const TempFile notAnArchive("archive.qpk", png);
  LogCapture log;
  EXPECT_EQ(VelaTexture::LoadFromQPK(notAnArchive.Path(), "entry", FORMAT_TEXTURE32), nullptr);
  const std::string text = log.Text();
  EXPECT_NE(text.find("CTexture::CreateFromQPK"), std::string::npos) << text;
  EXPECT_NE(text.find("ファイルの読み込みに失敗しました [ Can't Load QPK File ]"), std::string::npos) << text;
}

TEST_F(Textures, ACreationTheDeviceRefusesLogsItsSizeAndTheErrorText) {
  // FORMAT_GIVEN without an image resolves to D3DFMT_UNKNOWN, which CreateTexture refuses.
  LogCapture log;
  EXPECT_EQ(manager_->Create(100, 60, FORMAT_GIVEN), nullptr);
  EXPECT_EQ(manager_->CreateRenderTarget(100, 60, FORMAT_GIVEN), nullptr);
  EXPECT_EQ(manager_->CreateEx(16, 8, 1, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED), nullptr);
  const std::string error = std::string(" [ ") + ErrorTextUtf8(D3DERR_INVALIDCALL) + " ]</FONT></B><BR>\n";
  const std::string expected =
      "<B><FONT color=\"BLUE\">CTexture::Create</FONT></B>"
      "<B><FONT color=\"RED\">テクスチャの生成に失敗しました [ 128 x 64 ]" + error +
      "<B><FONT color=\"BLUE\">CTexture::CreateRenderTarget</FONT></B>"
      "<B><FONT color=\"RED\">ベーステクスチャの生成に失敗しました [ 128 x 64 ]" + error +
      "<B><FONT color=\"BLUE\">CTexture::CreateEx</FONT></B>"
      "<B><FONT color=\"RED\">テクスチャの生成に失敗しました [ 16 x 8 ]" + error;
  EXPECT_NE(log.Bytes().find(AsLogBytes(expected)), std::string::npos) << log.Text();
}

TEST_F(Textures, ARenderTargetTextureTakesDrawingAndCopies) {
  CTexture* target = Hold(manager_->CreateRenderTarget(64, 32, FORMAT_TARGET32));
  ASSERT_NE(target, nullptr);
  EXPECT_EQ(target->GetKind(), TextureKind::kRenderTarget);
  ASSERT_TRUE(target->SetRenderTarget());
  Vela3D::Clear(D3DCLEAR_TARGET, kGreen, 1.0f, 0, nullptr);
  Vela3D::FrameStep();  // the back buffer is the target again

  CTexture* copy = Hold(manager_->CreateCopy(target));
  ASSERT_NE(copy, nullptr);
  EXPECT_STREQ(copy->GetName(), target->GetName());
  std::uint32_t pixel = 0;
  ASSERT_TRUE(ReadPixel(copy, 10, 10, pixel));
  EXPECT_EQ(pixel & 0xFFFFFF, kGreen & 0xFFFFFF);

  CTexture* small = Hold(manager_->CreateRenderTarget(64, 32, FORMAT_TARGET32));
  ASSERT_NE(small, nullptr);
  const RECT half = {0, 0, 32, 32};
  EXPECT_TRUE(small->CopyRect(&half, target, &half, false));
}

// Draws during the device loss, after the drawing buffer and the textures are gone: the slot
// after VelaSimple's is reached between the release and the re-creation.
class DrawDuringLoss final : public DeviceLossHandler {
 public:
  explicit DrawDuringLoss(CTexture* texture) : texture_(texture) {}
  void OnLostDevice() override {
    bufferGone = !VelaSimple::HasVertexBuffer();
    const Rect2D destination = {10, 20, 100, 50};
    VelaTexture::Draw(texture_, &destination, &kWholeImage, kWhite);
    drew = true;
  }
  void OnResetDevice() override {}
  bool drew = false;
  bool bufferGone = false;

 private:
  CTexture* texture_;
};

TEST_F(Textures, AfterAForcedResetLoadedTexturesShowTheirPixelsAndTargetsComeBackEmpty) {
  const TempFile file("restored.png", QuadrantPng(100, 50));
  CTexture* texture = LoadQuadrants(file);
  ASSERT_NE(texture, nullptr);
  CTexture* target = Hold(manager_->CreateRenderTarget(16, 16, FORMAT_TARGET32));
  ASSERT_NE(target, nullptr);
  ASSERT_TRUE(target->SetRenderTarget());
  Vela3D::Clear(D3DCLEAR_TARGET, kGreen, 1.0f, 0, nullptr);
  Vela3D::FrameStep();

  DrawDuringLoss during(texture);
  JoinDeviceLoss(DeviceLossSlot::kShaderEffects, &during);
  std::string logged;
  {
    LogCapture log;
    Vela3D::Restore(true);
    logged = log.Text();
  }
  LeaveDeviceLoss(DeviceLossSlot::kShaderEffects);
  EXPECT_TRUE(during.drew);
  EXPECT_TRUE(during.bufferGone);
  EXPECT_EQ(logged.find("<FONT color=\"RED\">"), std::string::npos) << "nothing reported: " << logged;
  EXPECT_TRUE(VelaSimple::HasVertexBuffer());

  const Rect2D destination = {10, 20, 100, 50};
  const Screen shown = Frame([&] { VelaTexture::Draw(texture, &destination, &kWholeImage, kWhite); });
  EXPECT_PIXEL(shown, 35, 32, kRed, 8);
  EXPECT_PIXEL(shown, 85, 57, kWhite, 8);

  std::uint32_t pixel = 0;
  ASSERT_TRUE(ReadPixel(target, 8, 8, pixel));
  EXPECT_NE(pixel & 0xFFFFFF, kGreen & 0xFFFFFF) << "a render target comes back without its old pixels";
}

TEST_F(Textures, DrawingWithoutTheVertexBufferDrawsNothingAndSaysNothing) {
  const TempFile file("finalized.png", QuadrantPng(100, 50));
  CTexture* texture = LoadQuadrants(file);
  VelaSimple::Finalize();
  LogCapture log;
  const Rect2D destination = {10, 20, 100, 50};
  const Screen shown = Frame([&] { VelaTexture::Draw(texture, &destination, &kWholeImage, kWhite); });
  VelaSimple::Restore();
  EXPECT_EQ(log.Text().find("<FONT"), std::string::npos);
  EXPECT_PIXEL(shown, 35, 32, kBackground, 0);
  ASSERT_TRUE(VelaSimple::HasVertexBuffer());

  // More vertices than the buffer holds draw nothing either.
  std::vector<Vertex2D> many(VelaSimple::kMaxVertices + 1, Vertex2D{50, 50, 0, 1, kWhite, {}});
  const Screen none = Frame([&] { VelaSimple::DrawPolygon(many.data(), static_cast<std::uint32_t>(many.size()), nullptr, 0); });
  EXPECT_PIXEL(none, 50, 50, kBackground, 0);
}

}  // namespace
}  // namespace vela
