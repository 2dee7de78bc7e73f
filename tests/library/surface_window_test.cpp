// Surfaces on Wine's Direct3D 9, below the exports: VelaSurface and CSurfaceManager started on a
// window of the test's own with an 800 x 600 back buffer, pictures copied onto the back buffer
// and read back through the back-buffer lock, surfaces surviving a forced device restore, the
// viewport clip of CopyRect, device contexts, render targets, and the log lines of each kind.
#include <windows.h>

#include <d3d9.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/vela_log.h"
#include "graphics/back_buffer_text.h"
#include "core/com_ptr.h"
#include "core/error_text.h"
#include "graphics/format_kind.h"
#include "graphics/vela3d.h"
#include "image/surface.h"
#include "image/surface_manager.h"
#include "image/vela_surface.h"
#include "tests/library/library_window_support.h"

namespace vela {
namespace {

using namespace test;

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr std::uint32_t kGrey = 0xFF808080;

// The back buffer as the next present would show it, through the library's own lock.
Screen ReadLockedBackBuffer() {
  void* bits = nullptr;
  std::uint32_t pitch = 0, width = 0, height = 0;
  D3DFORMAT format = D3DFMT_UNKNOWN;
  if (!Vela3D::LockBackBuffer(&bits, &pitch, &format, &width, &height)) return {};
  EXPECT_EQ(format, D3DFMT_X8R8G8B8);
  Screen pixels = ReadLocked(bits, pitch, width, height);
  Vela3D::UnlockBackBuffer();
  return pixels;
}

Screen ReadSurface(CSurface* surface) {
  ComPtr<IDirect3DSurface9> d3d;
  surface->GetSurface(d3d.Out());
  D3DLOCKED_RECT locked = {};
  if (!d3d || FAILED(d3d->LockRect(&locked, nullptr, D3DLOCK_READONLY))) return {};
  Screen pixels = ReadLocked(locked.pBits, static_cast<std::uint32_t>(locked.Pitch), surface->GetWidth(),
                             surface->GetHeight());
  d3d->UnlockRect();
  return pixels;
}

class Surfaces : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    window_.emplace("Vela surface test", kWidth, kHeight);
    started_ = window_->Started() && VelaSurface::Start();
    picture_.emplace("picture.png", QuadrantPng(640, 480));
  }
  static void TearDownTestSuite() {
    picture_.reset();
    VelaSurface::Stop();
    window_.reset();
  }

  void SetUp() override {
    ASSERT_TRUE(started_);
    ASSERT_NE(VelaSurface::Manager(), nullptr);
    Vela3D::Clear(D3DCLEAR_TARGET, kGrey, 1.0f, 0, nullptr);
  }
  void TearDown() override {
    EXPECT_EQ(VelaSurface::Manager()->GetCount(), 0u) << "a test left a surface behind";
  }

  static CSurface* LoadPicture() { return VelaSurface::Load(picture_->Path(), FORMAT_BACKBUFFER); }

  static inline std::optional<Vela3DWindow> window_;
  static inline bool started_ = false;
  static inline std::optional<TempFile> picture_;
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
  EXPECT_STREQ(surface->GetName(), picture_->Path());
  EXPECT_EQ(surface->GetRefCount(), 1);
  EXPECT_EQ(surface->Release(), 0);
}

TEST_F(Surfaces, CopyToBackBufferWithoutASurfaceCopiesNothing) {
  EXPECT_FALSE(VelaSurface::CopyToBackBuffer(nullptr, nullptr, nullptr));
  CSurface* surface = LoadPicture();
  ASSERT_NE(surface, nullptr);
  surface->OnLostDevice();  // as after a reset that could not re-create it
  EXPECT_FALSE(VelaSurface::CopyToBackBuffer(nullptr, surface, nullptr));
  const Screen shown = ReadLockedBackBuffer();
  ASSERT_FALSE(shown.Empty());
  EXPECT_EQ(shown.At(100, 100), Rgb(kGrey));
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
  EXPECT_EQ(CountWrongQuadrantPixels(ReadLockedBackBuffer()), 0);
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
  Vela3D::Clear(D3DCLEAR_TARGET, kGrey, 1.0f, 0, nullptr);
  ASSERT_TRUE(VelaSurface::CopyToBackBuffer(nullptr, picture, nullptr));
  EXPECT_EQ(CountWrongQuadrantPixels(ReadLockedBackBuffer()), 0);
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
  const Screen cut = ReadSurface(canvas);
  ASSERT_FALSE(cut.Empty());
  EXPECT_EQ(cut.At(100, 75), Rgb(kGreen));
  EXPECT_EQ(cut.At(100, 225), Rgb(kWhite));
  EXPECT_EQ(cut.At(300, 75), Rgb(kGreen)) << "the right part keeps the first copy";

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
  const Screen pixels = ReadSurface(canvas);
  ASSERT_FALSE(pixels.Empty());
  EXPECT_EQ(pixels.At(32, 32), Rgb(kBlue));
  canvas->Release();
}

TEST_F(Surfaces, ARenderTargetTakesTheDrawingAndCopiesOntoTheBackBuffer) {
  CSurface* target = VelaSurface::Manager()->CreateRenderTarget(128, 128, FORMAT_BACKBUFFER);
  CSurface* depth = VelaSurface::Manager()->CreateDepthStencil(128, 128, FORMAT_DEPTH16);
  ASSERT_NE(target, nullptr);
  ASSERT_NE(depth, nullptr);
  ASSERT_TRUE(target->SetRenderTarget());
  Vela3D::Clear(D3DCLEAR_TARGET, kRed, 1.0f, 0, nullptr);
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
  const Screen shown = ReadLockedBackBuffer();
  ASSERT_FALSE(shown.Empty());
  EXPECT_EQ(shown.At(0, 0), Rgb(kRed));
  EXPECT_EQ(shown.At(kWidth - 1, kHeight - 1), Rgb(kRed));
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
    ASSERT_TRUE(LogIsOpen());
  }
  std::string Closed() {
    log_.Close();
    return log_.Bytes();
  }

  LogCapture log_;
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
  const std::string afterMissing = log_.Bytes();

  const char junk[] = "this is not an image at all";
  const TempFile junkFile("junk.png", std::string_view(junk, sizeof junk));
  EXPECT_EQ(VelaSurface::Load(junkFile.Path(), FORMAT_BACKBUFFER), nullptr);
  // Found, but nothing can be read from it.
  const TempFile emptyFile("empty.png", "");
  EXPECT_EQ(VelaSurface::Load(emptyFile.Path(), FORMAT_BACKBUFFER), nullptr);
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
