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
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/core_state.h"
#include "core/vela_log.h"
#include "graphics/device_loss.h"
#include "graphics/format_kind.h"
#include "graphics/vela3d.h"
#include "image/texture.h"
#include "image/texture_manager.h"
#include "image/vela_simple.h"
#include "image/vela_texture.h"
#include "imagecodec/imagecodec.h"

namespace vela {
namespace {

constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr std::uint32_t kBlue = 0xFF0000FF;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kBackground = 0xFF4080C0;
constexpr int kScreenWidth = 320;
constexpr int kScreenHeight = 240;

std::string TempFolder() {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  return folder;
}

// A file in the temporary folder, removed when the object goes.
class TempFile {
 public:
  TempFile(const std::string& name, const std::vector<std::uint8_t>& bytes)
      : path_(TempFolder() + "vela_tex_" + std::to_string(GetCurrentProcessId()) + "_" + name) {
    const HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
  }
  ~TempFile() { DeleteFileA(path_.c_str()); }
  const char* Path() const { return path_.c_str(); }

 private:
  std::string path_;
};

// A PNG of `width` x `height` whose pixel at (x, y) is colourAt(x, y).
template <typename ColourAt>
std::vector<std::uint8_t> Png(std::uint32_t width, std::uint32_t height, ColourAt colourAt) {
  std::vector<std::uint32_t> argb(std::size_t{width} * height);
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) argb[std::size_t{y} * width + x] = colourAt(x, y);
  }
  const codec::ConstSurfaceView view(codec::PixelFormat::kA8R8G8B8, width, height, width * 4,
                                     reinterpret_cast<const std::uint8_t*>(argb.data()));
  std::vector<std::uint8_t> png;
  EXPECT_EQ(codec::SaveToMemory(codec::FileFormat::kPng, view, png), codec::Result::kOk);
  return png;
}

// 100 x 50 in four quadrants of 50 x 25: red, green / blue, white.
std::vector<std::uint8_t> QuadrantPng() {
  return Png(100, 50, [](std::uint32_t x, std::uint32_t y) {
    return y < 25 ? (x < 50 ? kRed : kGreen) : (x < 50 ? kBlue : kWhite);
  });
}

struct Screen {
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * kScreenWidth + x] & 0xFFFFFF; }
};

bool Near(std::uint32_t actual, std::uint32_t expected, int tolerance) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int a = static_cast<int>((actual >> shift) & 0xFF);
    const int e = static_cast<int>((expected >> shift) & 0xFF);
    if (std::abs(a - e) > tolerance) return false;
  }
  return true;
}

#define EXPECT_PIXEL(screen, x, y, colour, tolerance)                                                         \
  EXPECT_PRED3(Near, (screen).At(x, y), (colour) & 0xFFFFFF, tolerance) << "at (" << (x) << ", " << (y) << ")"

// The log written to a temporary file while the object lives; Text() closes it and reads it.
class LogCapture {
 public:
  LogCapture()
      : path_(TempFolder() + "vela_tex_log_" + std::to_string(GetCurrentProcessId()) + "_" +
              std::to_string(++made_) + ".html") {
    LogSettings settings;
    std::snprintf(settings.file, sizeof settings.file, "%s", path_.c_str());
    ConfigureLog(settings);
    OpenLog();
    headLength_ = Read().size();
  }
  ~LogCapture() {
    Close();
    DeleteFileA(path_.c_str());
  }
  // What was logged after the log's own head, as UTF-8 (the file holds Shift-JIS).
  std::string Text() {
    Close();
    const std::string bytes = Read();
    const std::string body = bytes.size() > headLength_ ? bytes.substr(headLength_) : std::string();
    std::wstring wide(body.size(), L'\0');
    wide.resize(MultiByteToWideChar(932, 0, body.data(), static_cast<int>(body.size()), wide.data(),
                                    static_cast<int>(wide.size())));
    std::string utf8(wide.size() * 3, '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(),
                                    static_cast<int>(utf8.size()), nullptr, nullptr));
    return utf8;
  }

 private:
  void Close() {
    if (!LogIsOpen()) return;
    CloseLog();
    ConfigureLog(LogSettings{});
  }
  std::string Read() const {
    std::string bytes;
    const HANDLE file = CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
  }

  static inline int made_ = 0;
  std::string path_;
  std::size_t headLength_ = 0;
};

class Textures : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VelaTextureTest";
    RegisterClassA(&windowClass);
    RECT frame = {0, 0, kScreenWidth, kScreenHeight};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    window_ = CreateWindowA("VelaTextureTest", "Vela texture test", WS_OVERLAPPEDWINDOW, 0, 0,
                            frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    ShowWindow(window_, SW_SHOW);
    Core().mainWindow = window_;
    Core().screenWidth = kScreenWidth;
    Core().screenHeight = kScreenHeight;
    started_ = Vela3D::Initialize() && Vela3D::Start(window_, true) && VelaTexture::Start() &&
               VelaSimple::Initialize();
  }
  static void TearDownTestSuite() {
    VelaSimple::Shutdown();
    VelaTexture::Stop();
    Vela3D::Release();
    DestroyWindow(window_);
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

  static Screen ReadBackBuffer() {
    Screen screen;
    IDirect3DDevice9* device = Vela3D::Device();
    IDirect3DSurface9* backBuffer = Vela3D::BackBuffer();
    D3DSURFACE_DESC desc = {};
    backBuffer->GetDesc(&desc);
    IDirect3DSurface9* copy = nullptr;
    if (FAILED(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, &copy,
                                                   nullptr))) {
      return screen;
    }
    D3DLOCKED_RECT locked = {};
    if (SUCCEEDED(device->GetRenderTargetData(backBuffer, copy)) &&
        SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
      screen.pixels.resize(std::size_t{kScreenWidth} * kScreenHeight);
      for (int y = 0; y < kScreenHeight; ++y) {
        std::memcpy(&screen.pixels[static_cast<std::size_t>(y) * kScreenWidth],
                    static_cast<const std::uint8_t*>(locked.pBits) + y * locked.Pitch, kScreenWidth * 4);
      }
      copy->UnlockRect();
    }
    copy->Release();
    return screen;
  }

  // The 100 x 50 quadrant picture loaded from a file, as TextureLoad loads it.
  CTexture* LoadQuadrants(const TempFile& file) {
    return Hold(VelaTexture::Load(file.Path(), FORMAT_TEXTURE_COMPRESSED, 0));
  }

  static inline HWND window_ = nullptr;
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
  const TempFile file("shared.png", QuadrantPng());
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
  const std::string missing = TempFolder() + "vela_no_such_texture.png";
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
  const TempFile file("logged.png", QuadrantPng());
  LogCapture log;
  ASSERT_NE(LoadQuadrants(file), nullptr);
  const std::string text = log.Text();
  EXPECT_NE(text.find("SIZE [ 128 x 64 ] FORMAT [ DXT5 ] MIPMAP [ 1 ] : "), std::string::npos) << text;
  EXPECT_NE(text.find("Success!"), std::string::npos) << text;
}

TEST_F(Textures, DrawPlacesTheImageOnExactlyItsDestinationPixels) {
  const TempFile file("quadrants.png", QuadrantPng());
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
  const TempFile file("modulated.png", QuadrantPng());
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
  const TempFile file("rotated.png", QuadrantPng());
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
  const TempFile file("mirrored.png", QuadrantPng());
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
  Vela3D::SetFilter(true);
  EXPECT_FLOAT_EQ(VelaTexture::GetOffsetUV(), 0.5f);
  Vela3D::SetFilter(false);
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
  const std::vector<std::uint8_t> png = QuadrantPng();
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
  void* bits = nullptr;
  std::uint32_t pitch = 0;
  ASSERT_TRUE(copy->Lock(nullptr, &bits, &pitch, nullptr, nullptr, nullptr));
  std::uint32_t pixel = 0;
  std::memcpy(&pixel, static_cast<std::uint8_t*>(bits) + 10 * pitch + 40, 4);
  copy->Unlock();
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
  const TempFile file("restored.png", QuadrantPng());
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

  void* bits = nullptr;
  std::uint32_t pitch = 0;
  ASSERT_TRUE(target->Lock(nullptr, &bits, &pitch, nullptr, nullptr, nullptr));
  std::uint32_t pixel = 0;
  std::memcpy(&pixel, static_cast<std::uint8_t*>(bits) + 8 * pitch + 32, 4);
  target->Unlock();
  EXPECT_NE(pixel & 0xFFFFFF, kGreen & 0xFFFFFF) << "a render target comes back without its old pixels";
}

TEST_F(Textures, DrawingWithoutTheVertexBufferDrawsNothingAndSaysNothing) {
  const TempFile file("finalized.png", QuadrantPng());
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
