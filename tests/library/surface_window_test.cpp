// Surfaces on Wine's Direct3D 9, below the exports: VelaSurface and CSurfaceManager started on a
// window of the test's own with an 800 x 600 back buffer, pictures copied onto the back buffer
// and read back through the back-buffer lock, surfaces surviving a forced device restore, the
// viewport clip of CopyRect, device contexts, render targets, and the log lines of each kind.
#include <windows.h>

#include <d3d9.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/core_state.h"
#include "core/vela_log.h"
#include "graphics/back_buffer_text.h"
#include "graphics/com_ptr.h"
#include "graphics/error_text.h"
#include "graphics/format_kind.h"
#include "graphics/vela3d.h"
#include "image/surface.h"
#include "image/surface_manager.h"
#include "image/vela_surface.h"
#include "imagecodec/imagecodec.h"

namespace vela {
namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kGrey = 0x808080;

// A `width` x `height` picture of four quadrants: red, green / blue, white.
std::vector<std::uint8_t> QuadrantPng(std::uint32_t width, std::uint32_t height) {
  std::vector<std::uint32_t> argb(std::size_t{width} * height);
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) {
      const bool right = x >= width / 2;
      argb[std::size_t{y} * width + x] = 0xFF000000 | (y < height / 2 ? (right ? kGreen : kRed) : (right ? kWhite : kBlue));
    }
  }
  const codec::ConstSurfaceView view(codec::PixelFormat::kA8R8G8B8, width, height, width * 4,
                                     reinterpret_cast<const std::uint8_t*>(argb.data()));
  std::vector<std::uint8_t> png;
  EXPECT_EQ(codec::SaveToMemory(codec::FileFormat::kPng, view, png), codec::Result::kOk);
  return png;
}

std::string TempPath(const std::string& name) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + "vela_surface_" + std::to_string(GetCurrentProcessId()) + "_" + name;
}

void WriteWholeFile(const std::string& path, const void* bytes, std::size_t size) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr);
  CloseHandle(file);
}

std::string ReadFileBytes(const std::string& path) {
  std::string bytes;
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

// The log file's bytes for UTF-8 text: Shift-JIS, with the text mode's CR before every LF.
std::string AsLogBytes(const std::string& utf8) {
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                                  static_cast<int>(wide.size())));
  std::string shiftJis(wide.size() * 2, '\0');
  shiftJis.resize(WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), shiftJis.data(),
                                      static_cast<int>(shiftJis.size()), nullptr, nullptr));
  std::string out;
  for (char c : shiftJis) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// RGB of every pixel of an X8R8G8B8 surface that can be locked.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> rgb;
  std::uint32_t At(int x, int y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
};

Pixels ReadLocked(const void* bits, std::uint32_t pitch, std::uint32_t width, std::uint32_t height) {
  Pixels pixels{static_cast<int>(width), static_cast<int>(height), std::vector<std::uint32_t>(std::size_t{width} * height)};
  for (std::uint32_t y = 0; y < height; ++y) {
    const auto* row = static_cast<const std::uint8_t*>(bits) + std::size_t{y} * pitch;
    for (std::uint32_t x = 0; x < width; ++x) {
      std::uint32_t value;
      std::memcpy(&value, row + x * 4, 4);
      pixels.rgb[std::size_t{y} * width + x] = value & 0xFFFFFF;
    }
  }
  return pixels;
}

// The back buffer as the next present would show it, through the library's own lock.
Pixels ReadBackBuffer() {
  void* bits = nullptr;
  std::uint32_t pitch = 0, width = 0, height = 0;
  D3DFORMAT format = D3DFMT_UNKNOWN;
  if (!Vela3D::LockBackBuffer(&bits, &pitch, &format, &width, &height)) return {};
  EXPECT_EQ(format, D3DFMT_X8R8G8B8);
  Pixels pixels = ReadLocked(bits, pitch, width, height);
  Vela3D::UnlockBackBuffer();
  return pixels;
}

Pixels ReadSurface(CSurface* surface) {
  ComPtr<IDirect3DSurface9> d3d;
  surface->GetSurface(d3d.Out());
  D3DLOCKED_RECT locked = {};
  if (!d3d || FAILED(d3d->LockRect(&locked, nullptr, D3DLOCK_READONLY))) return {};
  Pixels pixels = ReadLocked(locked.pBits, static_cast<std::uint32_t>(locked.Pitch), surface->GetWidth(),
                             surface->GetHeight());
  d3d->UnlockRect();
  return pixels;
}

// The quadrant picture stretched over the whole `pixels`: each quadrant's colour, probed away
// from the edges and the middle lines, and the count of pixels that differ from it.
int CountWrongQuadrantPixels(const Pixels& pixels) {
  int wrong = 0;
  for (int y = 0; y < pixels.height; ++y) {
    for (int x = 0; x < pixels.width; ++x) {
      const bool right = x >= pixels.width / 2;
      const std::uint32_t expected = y < pixels.height / 2 ? (right ? kGreen : kRed) : (right ? kWhite : kBlue);
      if (pixels.At(x, y) != expected && wrong++ == 0) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is 0x" << std::hex << pixels.At(x, y) << ", expected 0x"
                      << expected;
      }
    }
  }
  return wrong;
}

class Surfaces : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VelaSurfaceTest";
    RegisterClassA(&windowClass);
    RECT frame = {0, 0, kWidth, kHeight};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    window_ = CreateWindowA("VelaSurfaceTest", "Vela surface test", WS_OVERLAPPEDWINDOW, 0, 0,
                            frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    ShowWindow(window_, SW_SHOW);
    Core().mainWindow = window_;
    Core().screenWidth = kWidth;
    Core().screenHeight = kHeight;
    started_ = Vela3D::Initialize() && Vela3D::Start(window_, true) && VelaSurface::Start();
    picture_ = TempPath("picture.png");
    const std::vector<std::uint8_t> png = QuadrantPng(640, 480);
    WriteWholeFile(picture_, png.data(), png.size());
  }
  static void TearDownTestSuite() {
    DeleteFileA(picture_.c_str());
    VelaSurface::Stop();
    Vela3D::Release();
    DestroyWindow(window_);
  }

  void SetUp() override {
    ASSERT_TRUE(started_);
    ASSERT_NE(VelaSurface::Manager(), nullptr);
    Vela3D::Clear(D3DCLEAR_TARGET, 0xFF000000 | kGrey, 1.0f, 0, nullptr);
  }
  void TearDown() override {
    EXPECT_EQ(VelaSurface::Manager()->GetCount(), 0u) << "a test left a surface behind";
  }

  static CSurface* LoadPicture() { return VelaSurface::Load(picture_.c_str(), FORMAT_BACKBUFFER); }

  static inline HWND window_ = nullptr;
  static inline bool started_ = false;
  static inline std::string picture_;
};

TEST_F(Surfaces, ALoadedPictureHasTheImagesSizeAndTheBackBuffersFormat) {
  CSurface* surface = LoadPicture();
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(surface->GetWidth(), 640u);
  EXPECT_EQ(surface->GetHeight(), 480u);
  EXPECT_EQ(surface->GetImageWidth(), 640u);
  EXPECT_EQ(surface->GetSurfaceFormat(), D3DFMT_X8R8G8B8);
  EXPECT_EQ(surface->GetFormatKind(), FORMAT_BACKBUFFER);
  EXPECT_TRUE(surface->HasSystemCopy());
  EXPECT_FALSE(surface->IsRenderTarget());
  EXPECT_STREQ(surface->GetName(), picture_.c_str());
  EXPECT_EQ(surface->GetRefCount(), 1);
  EXPECT_EQ(surface->Release(), 0);
}

TEST_F(Surfaces, CopyToBackBufferWithoutASurfaceCopiesNothing) {
  EXPECT_FALSE(VelaSurface::CopyToBackBuffer(nullptr, nullptr, nullptr));
  CSurface* surface = LoadPicture();
  ASSERT_NE(surface, nullptr);
  surface->OnLostDevice();  // as after a reset that could not re-create it
  EXPECT_FALSE(VelaSurface::CopyToBackBuffer(nullptr, surface, nullptr));
  const Pixels shown = ReadBackBuffer();
  ASSERT_FALSE(shown.rgb.empty());
  EXPECT_EQ(shown.At(100, 100), kGrey);
  surface->Release();
}

TEST_F(Surfaces, TheSameFileTwiceMakesTwoSurfacesAndEachLivesOnItsOwn) {
  CSurface* first = LoadPicture();
  CSurface* second = LoadPicture();
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  EXPECT_EQ(first->GetRefCount(), 1);
  EXPECT_EQ(second->GetRefCount(), 1);
  EXPECT_EQ(VelaSurface::Manager()->GetCount(), 2u);
  first->Release();
  EXPECT_EQ(VelaSurface::Manager()->GetCount(), 1u);
  ASSERT_TRUE(VelaSurface::CopyToBackBuffer(nullptr, second, nullptr));
  EXPECT_EQ(CountWrongQuadrantPixels(ReadBackBuffer()), 0);
  second->Release();
}

TEST_F(Surfaces, AfterAForcedRestoreEveryKindComesBackAndALoadedPictureShowsAgain) {
  CSurfaceManager* manager = VelaSurface::Manager();
  CSurface* picture = LoadPicture();
  CSurface* empty = manager->Create(64, 32, FORMAT_BACKBUFFER);
  CSurface* target = manager->CreateRenderTarget(64, 32, FORMAT_BACKBUFFER);
  CSurface* depth = manager->CreateDepthStencil(64, 32, FORMAT_DEPTH16);
  ASSERT_NE(picture, nullptr);
  ASSERT_NE(empty, nullptr);
  ASSERT_NE(target, nullptr);
  ASSERT_NE(depth, nullptr);

  Vela3D::Restore(true);

  for (CSurface* surface : {picture, empty, target, depth}) {
    ComPtr<IDirect3DSurface9> d3d;
    surface->GetSurface(d3d.Out());
    EXPECT_TRUE(d3d) << surface->GetName();
  }
  EXPECT_TRUE(target->IsRenderTarget());
  EXPECT_TRUE(depth->IsDepthStencil());
  Vela3D::Clear(D3DCLEAR_TARGET, 0xFF000000 | kGrey, 1.0f, 0, nullptr);
  ASSERT_TRUE(VelaSurface::CopyToBackBuffer(nullptr, picture, nullptr));
  EXPECT_EQ(CountWrongQuadrantPixels(ReadBackBuffer()), 0);
  for (CSurface* surface : {picture, empty, target, depth}) surface->Release();
}

TEST_F(Surfaces, CopyRectScalesAndCutsTheSourceWhereTheDestinationLeavesTheViewport) {
  CSurface* picture = LoadPicture();
  CSurface* canvas = VelaSurface::Manager()->Create(400, 300, FORMAT_BACKBUFFER);
  ASSERT_NE(picture, nullptr);
  ASSERT_NE(canvas, nullptr);

  // Defaults: the whole picture over the whole canvas, halved.
  ASSERT_TRUE(canvas->CopyRect(nullptr, picture, nullptr));
  EXPECT_EQ(CountWrongQuadrantPixels(ReadSurface(canvas)), 0);

  // Half of the destination lies left of the viewport: the source loses its left half in
  // proportion, so the canvas's left part shows the picture's right half.
  const RECT destination = {-200, 0, 200, 300};
  ASSERT_TRUE(canvas->CopyRect(&destination, picture, nullptr));
  const Pixels cut = ReadSurface(canvas);
  ASSERT_FALSE(cut.rgb.empty());
  EXPECT_EQ(cut.At(100, 75), kGreen);
  EXPECT_EQ(cut.At(100, 225), kWhite);
  EXPECT_EQ(cut.At(300, 75), kGreen) << "the right part keeps the first copy";

  const RECT outside = {-300, 0, -100, 300};
  EXPECT_FALSE(canvas->CopyRect(&outside, picture, nullptr));
  EXPECT_FALSE(canvas->CopyRect(nullptr, nullptr, nullptr));
  canvas->Release();
  picture->Release();
}

TEST_F(Surfaces, GdiDrawsThroughTheSurfacesDeviceContext) {
  CSurface* canvas = VelaSurface::Manager()->Create(64, 64, FORMAT_BACKBUFFER);
  ASSERT_NE(canvas, nullptr);
  HDC dc = canvas->GetDC();
  ASSERT_NE(dc, nullptr);
  const RECT all = {0, 0, 64, 64};
  const HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  canvas->ReleaseDC(dc);
  canvas->ReleaseDC(nullptr);  // ignored
  const Pixels pixels = ReadSurface(canvas);
  ASSERT_FALSE(pixels.rgb.empty());
  EXPECT_EQ(pixels.At(32, 32), kBlue);
  canvas->Release();
}

TEST_F(Surfaces, ARenderTargetTakesTheDrawingAndCopiesOntoTheBackBuffer) {
  CSurface* target = VelaSurface::Manager()->CreateRenderTarget(128, 128, FORMAT_BACKBUFFER);
  CSurface* depth = VelaSurface::Manager()->CreateDepthStencil(128, 128, FORMAT_DEPTH16);
  ASSERT_NE(target, nullptr);
  ASSERT_NE(depth, nullptr);
  ASSERT_TRUE(target->SetRenderTarget());
  Vela3D::Clear(D3DCLEAR_TARGET, 0xFF000000 | kRed, 1.0f, 0, nullptr);
  IDirect3DDevice9* device = Vela3D::Device();
  ComPtr<IDirect3DSurface9> bound;
  device->GetRenderTarget(0, bound.Out());
  ComPtr<IDirect3DSurface9> own;
  target->GetSurface(own.Out());
  EXPECT_EQ(bound.Get(), own.Get());

  ComPtr<IDirect3DSurface9> previousDepth;
  device->GetDepthStencilSurface(previousDepth.Out());
  ASSERT_TRUE(depth->SetDepthStencil());
  ComPtr<IDirect3DSurface9> boundDepth;
  device->GetDepthStencilSurface(boundDepth.Out());
  ComPtr<IDirect3DSurface9> ownDepth;
  depth->GetSurface(ownDepth.Out());
  EXPECT_EQ(boundDepth.Get(), ownDepth.Get());
  device->SetDepthStencilSurface(previousDepth.Get());

  ASSERT_TRUE(Vela3D::FrameStep());  // the back buffer is the target again
  ASSERT_TRUE(VelaSurface::CopyToBackBuffer(nullptr, target, nullptr));
  const Pixels shown = ReadBackBuffer();
  ASSERT_FALSE(shown.rgb.empty());
  EXPECT_EQ(shown.At(0, 0), kRed);
  EXPECT_EQ(shown.At(kWidth - 1, kHeight - 1), kRed);
  target->Release();
  depth->Release();
}

TEST_F(Surfaces, TheBackBufferLockAnswersTwiceAndOneUnlockEndsIt) {
  void* bits = nullptr;
  std::uint32_t pitch = 0, width = 0, height = 0;
  D3DFORMAT format = D3DFMT_UNKNOWN;
  ASSERT_TRUE(Vela3D::LockBackBuffer(&bits, &pitch, &format, &width, &height));
  EXPECT_NE(bits, nullptr);
  EXPECT_GE(pitch, 4u * kWidth);
  EXPECT_EQ(width, std::uint32_t{kWidth});
  EXPECT_EQ(height, std::uint32_t{kHeight});
  void* second = nullptr;
  EXPECT_TRUE(Vela3D::LockBackBuffer(&second, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(second, nullptr) << "a second lock writes nothing";
  Vela3D::UnlockBackBuffer();
  // Unlocked: the device can lock it again directly.
  D3DLOCKED_RECT locked = {};
  ASSERT_EQ(Vela3D::BackBuffer()->LockRect(&locked, nullptr, 0), D3D_OK);
  Vela3D::BackBuffer()->UnlockRect();
  Vela3D::UnlockBackBuffer();  // without a lock: nothing
}

class SurfaceLog : public Surfaces {
 protected:
  void SetUp() override {
    Surfaces::SetUp();
    path_ = TempPath("log.html");
    LogSettings settings;
    std::strcpy(settings.file, path_.c_str());
    ConfigureLog(settings);
    OpenLog();
    ASSERT_TRUE(LogIsOpen());
  }
  void TearDown() override {
    CloseLog();
    ConfigureLog(LogSettings{});
    DeleteFileA(path_.c_str());
    Surfaces::TearDown();
  }
  std::string Closed() {
    CloseLog();
    return ReadFileBytes(path_);
  }

  std::string path_;
};

std::string Blue(const std::string& text) { return "<B><FONT color=\"BLUE\">" + text + "</FONT></B>"; }
std::string Red(const std::string& text) { return "<B><FONT color=\"RED\">" + text + "</FONT></B>"; }
const std::string kSuccess = "<B><FONT color=\"GREEN\">Success!</FONT></B><BR>\n";

TEST_F(SurfaceLog, EachCreationLogsItsOperationSizeFormatAndOutcome) {
  CSurfaceManager* manager = VelaSurface::Manager();
  CSurface* picture = LoadPicture();
  CSurface* empty = manager->Create(64, 32, FORMAT_BACKBUFFER);
  CSurface* target = manager->CreateRenderTarget(16, 8, FORMAT_BACKBUFFER);
  CSurface* depth = manager->CreateDepthStencil(16, 8, FORMAT_DEPTH16);
  ASSERT_NE(picture, nullptr);
  ASSERT_NE(empty, nullptr);
  ASSERT_NE(target, nullptr);
  ASSERT_NE(depth, nullptr);
  EXPECT_STREQ(empty->GetName(), "OFFSCREEN [64x32] X8R8G8B8");
  EXPECT_STREQ(target->GetName(), "RENDER_TARGET [16x8] X8R8G8B8");
  EXPECT_STREQ(depth->GetName(), "DEPTH_STENCIL [16x8] D16");
  for (CSurface* surface : {empty, target, depth}) surface->Release();
  const std::string log = Closed();
  picture->Release();

  for (const std::string& expected : {
           Blue("CSurface::CreateFromFile") + "[ 640 x 480 ] : [ X8R8G8B8 ] : " + kSuccess,
           Blue("CSurface::Create") + "[ 64 x 32 ] : [ X8R8G8B8 ] : " + kSuccess,
           Blue("CSurface::CreateRenderTarget") + "[ 16 x 8 ] : [ X8R8G8B8 ] : " + kSuccess,
           Blue("CSurface::CreateDepthStencil") + " : SIZE [ 16 x 8 ] : FORMAT [ D16 ] : " + kSuccess,
           Red("CSurface Destruct [OFFSCREEN [64x32] X8R8G8B8]") + "<BR>\n" +
               Red("CSurface Destruct [RENDER_TARGET [16x8] X8R8G8B8]") + "<BR>\n" +
               Red("CSurface Destruct [DEPTH_STENCIL [16x8] D16]") + "<BR>\n",
       }) {
    EXPECT_NE(log.find(AsLogBytes(expected)), std::string::npos) << expected << "\nin\n" << log;
  }
}

TEST_F(SurfaceLog, AMissingFileLeavesNoTraceAndAFileThatCannotBeReadLogsWhyAndItsEnd) {
  EXPECT_EQ(VelaSurface::Load(TempPath("missing.png").c_str(), FORMAT_BACKBUFFER), nullptr);
  const std::string afterMissing = ReadFileBytes(path_);

  const std::string junkPath = TempPath("junk.png");
  const char junk[] = "this is not an image at all";
  WriteWholeFile(junkPath, junk, sizeof junk);
  EXPECT_EQ(VelaSurface::Load(junkPath.c_str(), FORMAT_BACKBUFFER), nullptr);
  DeleteFileA(junkPath.c_str());
  // Found, but nothing can be read from it.
  const std::string emptyPath = TempPath("empty.png");
  WriteWholeFile(emptyPath, "", 0);
  EXPECT_EQ(VelaSurface::Load(emptyPath.c_str(), FORMAT_BACKBUFFER), nullptr);
  DeleteFileA(emptyPath.c_str());
  const std::string log = Closed();

  EXPECT_EQ(afterMissing.find("CSurface"), std::string::npos) << afterMissing;
  const std::string expected =
      Blue("CSurface::CreateFromFile") +
      Red(std::string("ファイルの読み込みに失敗しました [ ") +
          ErrorTextUtf8(static_cast<ResultCode>(codec::Result::kInvalidData)) + " ]") +
      "<BR>\n" + Red("CSurface Destruct []") + "<BR>\n";
  EXPECT_NE(log.find(AsLogBytes(expected)), std::string::npos) << log;
  const std::string unreadable = Blue("CSurface::CreateFromFile") + Red("ファイルがみつかりません") + " : " +
                                 Red("CSurface Destruct []") + "<BR>\n";
  EXPECT_NE(log.find(AsLogBytes(unreadable)), std::string::npos) << log;
}

}  // namespace
}  // namespace vela
