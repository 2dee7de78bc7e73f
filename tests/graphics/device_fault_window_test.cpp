// What the library does when Direct3D misbehaves, behind the recording, fault-injecting stand-in:
// device fallback, adapter report, lost devices, failed resets, queries, scenes and vertex buffers.

#include "host/message_box_capture.h"
#include "image/vela_texture.h"
#include "sprite/sprite_2d.h"
#include "sprite/vela_sprite.h"
#include "tests/graphics/d3d9_recorder.h"
#include "tests/library/library_window_support.h"

namespace vela {
namespace {

using namespace test;

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr std::uint32_t kBackground = 0xFF204060;
constexpr DeviceConfiguration kHalMixed{D3DDEVTYPE_HAL, D3DCREATE_MIXED_VERTEXPROCESSING};
constexpr DeviceConfiguration kHalSoftware{D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING};
constexpr DeviceConfiguration kReference{D3DDEVTYPE_REF, D3DCREATE_SOFTWARE_VERTEXPROCESSING};
constexpr char kQueryFailed[] = "　　　エラー：IDirect3DQuery9インターフェースの取得に失敗 [ "
                                "このデバイスは、照会されたテクニックをサポートしていない。 ]";

struct RecorderInstalled {
  RecorderInstalled() { InstallD3D9Recorder(); }
};

TEST(DeviceStart, CreationFallsBackFromMixedToSoftwareToTheReferenceDevice) {
  const struct {
    const char* name;
    DWORD removedDevCaps;
    std::vector<DeviceConfiguration> refused, asked;
    const char* created;  // null: no device
  } cases[] = {
      {"mixed refused", 0, {kHalMixed}, {kHalMixed, kHalSoftware}, "D3DDEVTYPE_HAL ] [ D3DCREATE_SOFTWARE"},
      {"no hardware transform", D3DDEVCAPS_HWTRANSFORMANDLIGHT, {}, {kHalSoftware}, "D3DDEVTYPE_HAL ] [ D3DCREATE_SOFTWARE"},
      {"hardware refused", 0, {kHalMixed, kHalSoftware}, {kHalMixed, kHalSoftware, kReference}, "D3DDEVTYPE_REF ] [ D3DCREATE_SOFTWARE"},
      {"no hardware rasterisation", D3DDEVCAPS_HWRASTERIZATION, {}, {kReference}, "D3DDEVTYPE_REF ] [ D3DCREATE_SOFTWARE"},
      {"every device refused", 0, {kHalMixed, kHalSoftware, kReference}, {kHalMixed, kHalSoftware, kReference}, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    InstallD3D9Recorder();
    Faults().removedDevCaps = c.removedDevCaps;
    Faults().refusedDevices = c.refused;
    LogCapture log;
    Vela3DWindow window("Vela device start test", kWidth, kHeight);
    const std::string text = log.Text();
    EXPECT_EQ(Calls().createDevice, c.asked);
    EXPECT_EQ(window.Started(), c.created != nullptr);
    EXPECT_EQ(Occurrences(text, c.created ? std::string("　　　Direct3Dデバイスを [ ") + c.created + "_VERTEXPROCESSING ] で生成"
                                          : "　　　エラー：デバイスの作成に失敗 [ このデバイスは、照会されたテクニックをサポートしていない。 ]"), 1);
    EXPECT_EQ(Occurrences(text, "　　　　　　：DirectX側のエラーで無い場合は他のソフトがビデオカードを占有してる可能性があります。"),
              c.created ? 0 : 1);
  }
}

TEST(DeviceStart, AdapterReportListsEachModeOnceAndFindsTheScreensFullScreenFormats) {
  const struct {
    int width, height;
    const char *sixteen, *thirtyTwo;
  } screens[] = {{640, 480, "R5G6B5", "X8R8G8B8"}, {800, 600, "UNKNOWN", "X8R8G8B8"}, {320, 240, "UNKNOWN", "UNKNOWN"}};
  for (const auto& screen : screens) {
    SCOPED_TRACE(screen.width);
    InstallD3D9Recorder();
    Faults().modes = {{640, 480, 60, D3DFMT_X8R8G8B8}, {640, 480, 75, D3DFMT_X8R8G8B8}, {800, 600, 60, D3DFMT_X8R8G8B8},
                      {640, 480, 70, D3DFMT_X1R5G5B5}, {640, 480, 60, D3DFMT_R5G6B5}};
    LogCapture log;
    Vela3DWindow window("Vela adapter report test", screen.width, screen.height);
    const std::string text = log.Text();
    EXPECT_TRUE(window.Started()) << "the windowed device needs no full-screen mode";
    // The first refresh rate listed for a size and format wins.
    EXPECT_EQ(Occurrences(text, "　　　[ 640 x 480 ] [ 60Hz ]"), 2);
    EXPECT_EQ(Occurrences(text, "　　　[ 640 x 480 ] [ 70Hz ]"), 1);
    EXPECT_EQ(Occurrences(text, "[ 75Hz ]"), 0);
    EXPECT_EQ(Occurrences(text, "　　　[ 800 x 600 ] [ 60Hz ]"), 1);
    EXPECT_EQ(Occurrences(text, "　BackBuffer Format [ X1R5G5B5 ]"), 1);
    // Of two 16-bit modes of the screen's size, the later in the table wins.
    EXPECT_EQ(Occurrences(text, std::string("　　　16BitColor [ ") + screen.sixteen + " ]"), 1);
    EXPECT_EQ(Occurrences(text, std::string("　　　32BitColor [ ") + screen.thirtyTwo + " ]"), 1);
  }
}

int g_closeRequests = 0;

LRESULT CALLBACK CountCloseRequests(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_CLOSE) return DefWindowProcA(window, message, wParam, lParam);
  ++g_closeRequests;
  return 0;
}

// Vela3D on a window that counts its close requests, with a loss handler and the log captured.
class DeviceFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(window_.Started());
    SetWindowLongPtrA(window_.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountCloseRequests));
    SetForegroundWindow(window_.Handle());
    g_closeRequests = 0;
    JoinDeviceLoss(DeviceLossSlot::kModels, &loss_);
    Calls() = {};
  }
  void TearDown() override { LeaveDeviceLoss(DeviceLossSlot::kModels); }

  RecorderInstalled recorder_;
  LogCapture log_;
  Vela3DWindow window_{"Vela device fault test", kWidth, kHeight};
  std::string managers_;
  LossRecorder loss_{"models", managers_};
};

void CALLBACK CountApc(ULONG_PTR count) { ++*reinterpret_cast<int*>(count); }

TEST_F(DeviceFaults, RefreshWaitsRestoresOrClosesAsTheDeviceAnswers) {
  const struct {
    const char* name;
    HRESULT present, cooperativeLevel;
    bool waits;  // alertably, so that a queued APC runs
    int resets;
    const char* managers;
    int closeRequests;
  } cases[] = {
      {"lost, not ready for a reset", D3DERR_DEVICELOST, D3DERR_DEVICELOST, true, 0, "", 0},
      {"lost, ready for a reset", D3DERR_DEVICELOST, D3DERR_DEVICENOTRESET, false, 1, "models-lost(bb) models-reset(bb) ", 0},
      {"lost, operational again", D3DERR_DEVICELOST, D3D_OK, false, 0, "", 0},
      {"driver internal error", D3DERR_DRIVERINTERNALERROR, D3DERR_DEVICENOTRESET, false, 0, "", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Calls() = {};
    managers_.clear();
    g_closeRequests = 0;
    Faults().present = c.present;
    Faults().cooperativeLevel = c.cooperativeLevel;
    int apcs = 0;
    QueueUserAPC(&CountApc, GetCurrentThread(), reinterpret_cast<ULONG_PTR>(&apcs));
    Vela3D::Refresh(nullptr);
    EXPECT_EQ(apcs, c.waits ? 1 : 0);
    SleepEx(0, TRUE);  // the APC of a case that did not wait
    EXPECT_EQ(Calls().reset, c.resets);
    EXPECT_EQ(managers_, c.managers);
    EXPECT_EQ(g_closeRequests, c.closeRequests);
  }
}

TEST_F(DeviceFaults, AFailedResetShowsItsBoxAndTheRestoreStillRecreates) {
  Faults().reset = D3DERR_INVALIDCALL;
  Faults().createQuery = D3DERR_NOTAVAILABLE;
  host::MessageBoxCapture boxes;
  Vela3D::Restore(true);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, L"ERROR");
  EXPECT_EQ(boxes.Boxes()[0].text, L"デバイスの復帰に失敗");
  EXPECT_EQ(boxes.Boxes()[0].type, unsigned{MB_ICONERROR | MB_OK});
  EXPECT_EQ(managers_, "models-lost(bb) models-reset(bb) ");
  EXPECT_NE(Vela3D::BackBuffer(), nullptr);
  EXPECT_EQ(Occurrences(log_.Text(), kQueryFailed), 2);
}

// Scenes nest: only the outermost begin and end reach the device. A failed begin still counts,
// so that its end reaches the device; an end without a begin only counts.
TEST_F(DeviceFaults, NestedScenesReachTheDeviceOnceAndAFailedBeginStillCounts) {
  const auto scenes = [] { return std::pair{Calls().beginScene, Calls().endScene}; };
  EXPECT_TRUE(Vela3D::BeginScene());
  EXPECT_TRUE(Vela3D::BeginScene());
  Vela3D::EndScene();
  EXPECT_EQ(scenes(), std::pair(1, 0));
  Vela3D::EndScene();
  EXPECT_EQ(scenes(), std::pair(1, 1));
  Vela3D::EndScene();
  EXPECT_TRUE(Vela3D::BeginScene()) << "back at depth 0, not at the device";
  EXPECT_EQ(scenes(), std::pair(1, 1));

  Faults().beginScene = D3DERR_INVALIDCALL;
  EXPECT_FALSE(Vela3D::BeginScene());
  Vela3D::EndScene();
  EXPECT_EQ(scenes(), std::pair(2, 2));
  Faults().beginScene = D3D_OK;
  EXPECT_TRUE(Vela3D::BeginScene());
  Vela3D::EndScene();
  EXPECT_EQ(scenes(), std::pair(3, 3));
}

// Sprites without textures: their squares are the diffuse white.
class SpriteFaults : public DeviceFaults {
 protected:
  void SetUp() override {
    DeviceFaults::SetUp();
    ASSERT_TRUE(VelaTexture::Start() && VelaSprite::Start());
  }
  void TearDown() override {
    for (CSprite2D* sprite : sprites_) sprite->Release();
    VelaSprite::Stop();
    VelaTexture::Stop();
    DeviceFaults::TearDown();
  }
  CSprite2D* Make() { return sprites_.emplace_back(VelaSprite::Create(60, 1, true)); }
  static void Square(CSprite2D* sprite, float x, float y, float z = 100.0f) {
    const Rect2D source = {0, 0, 1, 1};
    VelaSprite::DrawSquare(sprite, {x, y, 40, 40}, z, &source, kWhite, 1);
  }
  static Screen Draw(std::initializer_list<CSprite2D*> sprites, bool upload = true) {
    return DrawFrame(kBackground, [&] {
      for (CSprite2D* sprite : sprites) {
        if (upload) VelaSprite::UpdateBuffer(sprite);
        VelaSprite::Rendering(sprite);
      }
    });
  }
  static void SetSettings(bool on) {
    RECT scissor = {0, 0, 50, 50};
    Vela3D::SetScissoring(on, &scissor);
    Vela3D::SetPerspective(on, kWidth * 0.5f, kHeight * 0.5f, 4.0f);
  }
  std::vector<CSprite2D*> sprites_;
};

TEST_F(SpriteFaults, OneLockAndOneDrawPerSpriteAndTheLastUploadIsDrawn) {
  CSprite2D* first = Make();
  CSprite2D* second = Make();
  for (int i = 0; i < 5; ++i) Square(first, 10.0f + 50 * i, 20);
  for (int i = 0; i < 5; ++i) Square(second, 10.0f + 50 * i, 100);
  Calls() = {};
  Screen shown = Draw({first, second});
  EXPECT_EQ(Calls().vertexBufferLocks, 2);
  EXPECT_EQ(Calls().drawPrimitive, 2);
  EXPECT_EQ(shown.At(230, 120), Rgb(kWhite));

  // Filled anew but not uploaded: its one square is drawn from the last upload, whose first
  // square is the one stored last.
  VelaSprite::ResetBuffer(first);
  Square(first, 10, 180);
  Calls() = {};
  shown = Draw({first}, false);
  EXPECT_EQ(Calls().vertexBufferLocks, 0);
  EXPECT_EQ(shown.At(230, 40), Rgb(kWhite));
  EXPECT_EQ(shown.At(30, 40), Rgb(kBackground));
  EXPECT_EQ(shown.At(30, 200), Rgb(kBackground));
}

TEST_F(SpriteFaults, ASpriteMadeAfterScissorAndPerspectiveStartsWithout) {
  CSprite2D* before = Make();
  SetSettings(true);
  CSprite2D* after = Make();
  Square(before, 100, 100, 40000);
  Square(after, 100, 100, 40000);
  const Screen clippedAway = Draw({before});
  const Screen whole = Draw({after});
  SetSettings(false);
  EXPECT_EQ(clippedAway.At(105, 105), Rgb(kBackground)) << "the sprite alive at the call takes the settings";
  EXPECT_EQ(whole.At(105, 105), Rgb(kWhite));
}

TEST_F(SpriteFaults, AVertexBufferThatCannotBeRestoredIsLoggedAndLeftUndrawn) {
  CSprite2D* sprite = Make();
  Square(sprite, 60, 60);
  Draw({sprite});
  Faults().createVertexBuffer = D3DERR_OUTOFVIDEOMEMORY;
  Vela3D::Restore(true);
  Calls() = {};
  Screen shown = Draw({sprite});
  EXPECT_EQ(Calls().vertexBufferLocks + Calls().drawPrimitive, 0);
  EXPECT_EQ(shown.At(80, 80), Rgb(kBackground));

  // The next restore brings the sprite back as it was filled.
  Faults().createVertexBuffer = D3D_OK;
  Vela3D::Restore(true);
  shown = Draw({sprite}, false);
  EXPECT_EQ(shown.At(80, 80), Rgb(kWhite));
  EXPECT_EQ(Occurrences(log_.Text(), "頂点バッファのリストアに失敗 [ Direct3D が処理を行うのに十分なディスプレイ メモリがない。 ]"), 1);
}

}  // namespace
}  // namespace vela
