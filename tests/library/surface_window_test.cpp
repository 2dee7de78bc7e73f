// Surfaces below the exports: every kind with its log lines, surviving a forced device restore,
// and the back-buffer lock.

#include "graphics/back_buffer_text.h"
#include "graphics/format_kind.h"
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
  void* second = nullptr;
  EXPECT_TRUE(Vela3D::LockBackBuffer(&second, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(second, nullptr) << "a second lock answers true and writes nothing";
  Vela3D::UnlockBackBuffer();
  D3DLOCKED_RECT locked = {};
  EXPECT_EQ(Vela3D::BackBuffer()->LockRect(&locked, nullptr, 0), D3D_OK) << "one unlock ended both";
  Vela3D::BackBuffer()->UnlockRect();
  return pixels;
}

std::string Blue(const std::string& text) { return "<B><FONT color=\"BLUE\">" + text + "</FONT></B>"; }
const std::string kSuccess = "<B><FONT color=\"GREEN\">Success!</FONT></B><BR>\n";

TEST(Surfaces, EveryKindIsLoggedAndComesBackAfterAForcedRestore) {
  Vela3DWindow window("Vela surface test", kWidth, kHeight);
  ASSERT_TRUE(window.Started() && VelaSurface::Start());
  const TempFile file("picture.png", QuadrantPng(640, 480));
  CSurfaceManager* manager = VelaSurface::Manager();
  LogCapture log;
  CSurface* picture = VelaSurface::Load(file.Path(), FORMAT_BACKBUFFER);
  CSurface* empty = manager->Create(64, 32, FORMAT_BACKBUFFER);
  CSurface* target = manager->CreateRenderTarget(16, 8, FORMAT_BACKBUFFER);
  CSurface* depth = manager->CreateDepthStencil(16, 8, FORMAT_DEPTH16);
  ASSERT_TRUE(picture && empty && target && depth);

  Vela3D::Restore(true);
  for (CSurface* surface : {picture, empty, target, depth}) {
    ComPtr<IDirect3DSurface9> d3d;
    surface->GetSurface(d3d.Out());
    EXPECT_TRUE(d3d) << surface->GetName();
  }
  Vela3D::Clear(D3DCLEAR_TARGET, kGrey, 1.0f, 0, nullptr);
  ASSERT_TRUE(VelaSurface::CopyToBackBuffer(nullptr, picture, nullptr));
  EXPECT_EQ(CountWrongQuadrantPixels(ReadLockedBackBuffer()), 0) << "the picture shows again";

  // A render target takes the drawing and copies onto the back buffer.
  ASSERT_TRUE(target->SetRenderTarget());
  Vela3D::Clear(D3DCLEAR_TARGET, kRed, 1.0f, 0, nullptr);
  ASSERT_TRUE(Vela3D::FrameStep());  // the back buffer is the target again
  ASSERT_TRUE(VelaSurface::CopyToBackBuffer(nullptr, target, nullptr));
  EXPECT_EQ(ReadLockedBackBuffer().At(kWidth - 1, kHeight - 1), Rgb(kRed));

  picture->OnLostDevice();  // as after a reset that could not re-create it
  EXPECT_FALSE(VelaSurface::CopyToBackBuffer(nullptr, picture, nullptr));
  for (CSurface* surface : {empty, target, depth, picture}) surface->Release();
  EXPECT_EQ(manager->GetCount(), 0u);
  VelaSurface::Stop();
  log.Close();
  for (const std::string& expected : {
           Blue("CSurface::Create") + "[ 64 x 32 ] : [ X8R8G8B8 ] : " + kSuccess,
           Blue("CSurface::CreateRenderTarget") + "[ 16 x 8 ] : [ X8R8G8B8 ] : " + kSuccess,
           Blue("CSurface::CreateDepthStencil") + " : SIZE [ 16 x 8 ] : FORMAT [ D16 ] : " + kSuccess,
           Red("CSurface Destruct [OFFSCREEN [64x32] X8R8G8B8]") + Red("CSurface Destruct [RENDER_TARGET [16x8] X8R8G8B8]") +
               Red("CSurface Destruct [DEPTH_STENCIL [16x8] D16]"),
       }) {
    EXPECT_NE(log.Bytes().find(AsLogBytes(expected)), std::string::npos) << expected << "\nin\n" << log.Text();
  }
}

}  // namespace
}  // namespace vela
