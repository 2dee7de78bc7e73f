// Sprites on Wine's Direct3D 9, below the exports: squares and ribbons filled, uploaded and
// drawn in one call, read back from the back buffer. Depth order whatever the call order, the
// depth range, capacity, the scissor cut that keeps texture and colour in place, perspective,
// ribbons, the creation log, stage binding, and a sprite that draws the same after a forced
// device reset without being filled again.
#include <windows.h>

#include <d3d9.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/core_state.h"
#include "core/vela_log.h"
#include "graphics/format_kind.h"
#include "graphics/vela3d.h"
#include "image/texture.h"
#include "image/vela_texture.h"
#include "imagecodec/imagecodec.h"
#include "sprite/sprite_2d.h"
#include "sprite/sprite_2d_manager.h"
#include "sprite/vela_sprite.h"

namespace vela {
namespace {

constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr std::uint32_t kBlue = 0xFF0000FF;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kBackground = 0xFF4080C0;
constexpr int kScreenWidth = 320;
constexpr int kScreenHeight = 240;

std::string TempPath(const std::string& name) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + "vela_sprite_" + std::to_string(GetCurrentProcessId()) + "_" + name;
}

// A PNG file of `size` x `size` whose pixel at (x, y) is colourAt(x, y), removed when the
// object goes.
class PngFile {
 public:
  template <typename ColourAt>
  PngFile(const std::string& name, std::uint32_t size, ColourAt colourAt) : path_(TempPath(name)) {
    std::vector<std::uint32_t> argb(std::size_t{size} * size);
    for (std::uint32_t y = 0; y < size; ++y) {
      for (std::uint32_t x = 0; x < size; ++x) argb[std::size_t{y} * size + x] = colourAt(x, y);
    }
    const codec::ConstSurfaceView view(codec::PixelFormat::kA8R8G8B8, size, size, size * 4,
                                       reinterpret_cast<const std::uint8_t*>(argb.data()));
    std::vector<std::uint8_t> png;
    EXPECT_EQ(codec::SaveToMemory(codec::FileFormat::kPng, view, png), codec::Result::kOk);
    const HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, png.data(), static_cast<DWORD>(png.size()), &written, nullptr);
    CloseHandle(file);
  }
  ~PngFile() { DeleteFileA(path_.c_str()); }
  const char* Path() const { return path_.c_str(); }

 private:
  std::string path_;
};

struct Screen {
  std::vector<std::uint32_t> pixels;
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

#define EXPECT_PIXEL(screen, x, y, colour)                                                     \
  EXPECT_PRED3(Near, (screen).At(x, y), (colour) & 0xFFFFFF, 24) << "at (" << (x) << ", " << (y) << ")"

// The log written to a temporary file while the object lives; Text() closes it and answers
// what was logged after its head, as UTF-8.
class LogCapture {
 public:
  LogCapture() : path_(TempPath("log.html")) {
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

  std::string path_;
  std::size_t headLength_ = 0;
};

// Image halves: red on the left (x < 32), blue on the right.
const Rect2D kRedHalf = {0, 0, 32, 64};
const Rect2D kBlueHalf = {32, 0, 32, 64};
const Rect2D kWholeImage = {0, 0, 64, 64};

class Sprites : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VelaSpriteTest";
    RegisterClassA(&windowClass);
    RECT frame = {0, 0, kScreenWidth, kScreenHeight};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    window_ = CreateWindowA("VelaSpriteTest", "Vela sprite test", WS_OVERLAPPEDWINDOW, 0, 0, frame.right - frame.left,
                            frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(window_, SW_SHOW);
    Core().mainWindow = window_;
    Core().screenWidth = kScreenWidth;
    Core().screenHeight = kScreenHeight;
    started_ = Vela3D::Initialize() && Vela3D::Start(window_, true) && VelaTexture::Start() && VelaSprite::Start();
  }
  static void TearDownTestSuite() {
    VelaSprite::Stop();
    VelaTexture::Stop();
    Vela3D::Release();
    DestroyWindow(window_);
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

  CSprite2D* Make(std::uint32_t capacity, CTexture* texture) {
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

  static inline HWND window_ = nullptr;
  static inline bool started_ = false;
  PngFile halvesFile_{"halves.png", 64, [](std::uint32_t x, std::uint32_t) { return x < 32 ? kRed : kBlue; }};
  PngFile quadrantsFile_{"quadrants.png", 64, [](std::uint32_t x, std::uint32_t y) {
                           return y < 32 ? (x < 32 ? kRed : kGreen) : (x < 32 ? kBlue : kWhite);
                         }};
  PngFile whiteFile_{"white.png", 8, [](std::uint32_t, std::uint32_t) { return kWhite; }};
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
    ResetSettings();
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
      EXPECT_PIXEL(shown, 130, 130, kRed);  // the overlap: the near square in front
      EXPECT_PIXEL(shown, 60, 60, kRed);
      EXPECT_PIXEL(shown, 200, 180, kBlue);
      EXPECT_PIXEL(shown, 250, 30, kBackground);
    }
  }
  {
    SCOPED_TRACE("AtEqualDepthTheEarlierSquareIsDrawnOnTop");
    ResetSettings();
    CSprite2D* sprite = Make(600, halves_);
    ASSERT_NE(sprite, nullptr);
    ASSERT_TRUE(Square(sprite, 40, 40, 120, 5000, kRedHalf));
    ASSERT_TRUE(Square(sprite, 100, 80, 120, 5000, kBlueHalf));
    const Screen shown = Draw(sprite);
    EXPECT_PIXEL(shown, 130, 130, kRed);
    EXPECT_PIXEL(shown, 200, 180, kBlue);
  }
  {
    SCOPED_TRACE("DepthsOutsideTheRangeAreNotDrawnAndTheFarthestInsideIs");
    ResetSettings();
    CSprite2D* sprite = Make(600, halves_);
    ASSERT_NE(sprite, nullptr);
    EXPECT_TRUE(Square(sprite, 20, 20, 60, 65535, kRedHalf));
    EXPECT_TRUE(Square(sprite, 120, 20, 60, -100, kRedHalf));
    EXPECT_TRUE(Square(sprite, 220, 20, 60, 65534, kBlueHalf));
    EXPECT_TRUE(Square(sprite, 120, 120, 60, 0, kBlueHalf));
    const Screen shown = Draw(sprite);
    EXPECT_PIXEL(shown, 50, 50, kBackground);
    EXPECT_PIXEL(shown, 150, 50, kBackground);
    EXPECT_PIXEL(shown, 250, 50, kBlue);
    EXPECT_PIXEL(shown, 150, 150, kBlue);
    EXPECT_EQ(sprite->GetRequestedCount(), 24u);
  }
  {
    SCOPED_TRACE("ACapacityOfTwelveTakesTwoSquaresAndNoThird");
    ResetSettings();
    CSprite2D* sprite = Make(12, halves_);
    ASSERT_NE(sprite, nullptr);
    EXPECT_TRUE(Square(sprite, 20, 20, 60, 100, kRedHalf));
    EXPECT_TRUE(Square(sprite, 120, 20, 60, 100, kRedHalf));
    EXPECT_FALSE(Square(sprite, 220, 20, 60, 100, kRedHalf));
    const Screen shown = Draw(sprite);
    EXPECT_PIXEL(shown, 50, 50, kRed);
    EXPECT_PIXEL(shown, 150, 50, kRed);
    EXPECT_PIXEL(shown, 250, 50, kBackground);
  }
}

TEST_F(Sprites, ScissorPerspectiveAndRibbons) {
  {
    SCOPED_TRACE("TheScissorCutsASquareAndLeavesItsPictureInPlace");
    ResetSettings();
    CSprite2D* sprite = Make(600, quadrants_);
    ASSERT_NE(sprite, nullptr);
    RECT scissor = {100, 100, 220, 220};
    Vela3D::SetScissoring(true, &scissor);
    // The picture's quadrants meet at (120, 120); the cut keeps them there (a picture squeezed
    // into what is left would meet at about (150, 150)).
    ASSERT_TRUE(Square(sprite, 40, 40, 160, 100, kWholeImage));
    const Screen shown = Draw(sprite);
    EXPECT_PIXEL(shown, 90, 130, kBackground);
    EXPECT_PIXEL(shown, 130, 90, kBackground);
    EXPECT_PIXEL(shown, 110, 110, kRed);
    EXPECT_PIXEL(shown, 135, 110, kGreen);
    EXPECT_PIXEL(shown, 110, 135, kBlue);
    EXPECT_PIXEL(shown, 135, 135, kWhite);
    EXPECT_PIXEL(shown, 190, 190, kWhite);
    EXPECT_PIXEL(shown, 210, 190, kBackground);  // the square ends at 200
  }
  {
    SCOPED_TRACE("TheScissorCutsARibbonWithItsColourInterpolatedAtTheCut");
    ResetSettings();
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
    EXPECT_PIXEL(shown, 170, 120, kBackground);
    EXPECT_PIXEL(shown, 60, 90, kBackground);
  }
  {
    SCOPED_TRACE("PerspectivePullsAFarSquareTowardTheCentre");
    ResetSettings();
    CSprite2D* sprite = Make(600, halves_);
    ASSERT_NE(sprite, nullptr);
    // Centre (0, 0), depth factor 0.2: depth 60000 shrinks offsets to about 0.923.
    Vela3D::SetPerspective(true, 0.0f, 0.0f, 0.2f);
    ASSERT_TRUE(Square(sprite, 150, 100, 100, 60000, kRedHalf));
    Screen shown = Draw(sprite);
    EXPECT_PIXEL(shown, 200, 150, kRed);
    EXPECT_PIXEL(shown, 240, 150, kBackground);
    EXPECT_PIXEL(shown, 200, 190, kBackground);
    EXPECT_PIXEL(shown, 145, 95, kRed);  // the far square's top-left moved up and left

    // At the middle depth nothing moves.
    VelaSprite::ResetBuffer(sprite);
    ASSERT_TRUE(Square(sprite, 150, 100, 100, 32767, kRedHalf));
    shown = Draw(sprite);
    EXPECT_PIXEL(shown, 240, 150, kRed);
    EXPECT_PIXEL(shown, 145, 95, kBackground);
  }
  {
    SCOPED_TRACE("ARibbonRunsThroughItsPointsWithTheTextureAcrossIt");
    ResetSettings();
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
    EXPECT_PIXEL(shown, 45, 110, kRed);
    EXPECT_PIXEL(shown, 45, 128, kBlue);
    EXPECT_PIXEL(shown, 100, 84, kRed);  // half way along the first segment, centred on y = 90
    EXPECT_PIXEL(shown, 100, 96, kBlue);
    EXPECT_PIXEL(shown, 100, 115, kBackground);
    EXPECT_PIXEL(shown, 100, 65, kBackground);
    EXPECT_PIXEL(shown, 220, 84, kRed);
    EXPECT_PIXEL(shown, 300, 120, kBackground);
  }
}

TEST_F(Sprites, DeviceResetStagesAndLog) {
  {
    SCOPED_TRACE("AfterAForcedRestoreTheSpriteDrawsTheSameWithoutBeingFilledAgain");
    ResetSettings();
    CSprite2D* sprite = Make(600, halves_);
    ASSERT_NE(sprite, nullptr);
    ASSERT_TRUE(Square(sprite, 40, 40, 120, 100, kRedHalf));
    ASSERT_TRUE(Square(sprite, 100, 80, 120, 60000, kBlueHalf));
    const Screen before = Draw(sprite);
    EXPECT_PIXEL(before, 130, 130, kRed);

    Vela3D::Restore(true);
    ASSERT_NE(sprite->VertexBuffer(), nullptr);
    const Screen after = Draw(sprite, false);
    int differing = 0;
    for (std::size_t i = 0; i < before.pixels.size(); ++i) differing += (before.pixels[i] & 0xFFFFFF) != (after.pixels[i] & 0xFFFFFF);
    EXPECT_EQ(differing, 0);
    EXPECT_PIXEL(after, 200, 180, kBlue);
  }
  {
    SCOPED_TRACE("RenderingBindsAllFourStagesEvenWhenEmpty");
    ResetSettings();
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
