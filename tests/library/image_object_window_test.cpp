// The object bases and image objects on Wine's Direct3D 9: a manager's hold on the device,
// SetTexture, images loaded through our codec into surfaces of several formats and pools and
// read back, the red log line for bytes that are not an image, and textures saved to files.
#include <windows.h>

#include <d3d9.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "image/image_object.h"
#include "core/resource_manager.h"
#include "core/vela_log.h"
#include "core/com_ptr.h"
#include "image/image_surface_io.h"
#include "graphics/vela3d.h"
#include "imagecodec/dxt_decoder.h"
#include "imagecodec/imagecodec.h"
#include "tests/library/library_window_support.h"

namespace vela {
namespace {

using namespace test;

constexpr std::uint32_t kMagenta = 0xFFFF00FF;

// The colour expected in the middle of each quadrant of a `size` x `size` surface, and there.
struct Probe {
  std::uint32_t x, y, argb;
};
std::vector<Probe> QuadrantProbes(std::uint32_t size, std::uint32_t lowerRight = kWhite) {
  const std::uint32_t low = size / 4;
  const std::uint32_t high = size * 3 / 4;
  return {{low, low, kRed}, {high, low, kGreen}, {low, high, kBlue}, {high, high, lowerRight}};
}

class TestImage final : public CImageObject {
 public:
  using CImageObject::CImageObject;
  void OnLostDevice() override {}
  void OnResetDevice() override {}
  bool SetRenderTarget() override { return false; }
  bool SetDepthStencil() override { return false; }
};

unsigned long RefCount(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

class ImageObjects : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    window_.emplace("Vela image object test", 320, 240);
    started_ = window_->Started();
  }
  static void TearDownTestSuite() { window_.reset(); }

  void SetUp() override {
    ASSERT_TRUE(started_);
    device_ = Vela3D::Device();
    manager_ = new CResourceManager(device_);
    image_ = new TestImage(manager_);
  }
  void TearDown() override {
    image_->Release();
    delete manager_;
  }

  // Level 0 of a new texture in `pool` and its surface.
  ComPtr<IDirect3DSurface9> Surface(D3DFORMAT format, UINT size, D3DPOOL pool = D3DPOOL_SYSTEMMEM, DWORD usage = 0) {
    ComPtr<IDirect3DSurface9> surface;
    EXPECT_EQ(device_->CreateTexture(size, size, 1, usage, format, pool, texture_.Out(), nullptr), D3D_OK);
    if (texture_) texture_->GetSurfaceLevel(0, surface.Out());
    return surface;
  }

  // The surface's pixels as A8R8G8B8 (16-bit and DXT formats decoded).
  static std::vector<std::uint32_t> ReadArgb(IDirect3DSurface9* surface) {
    D3DSURFACE_DESC desc = {};
    surface->GetDesc(&desc);
    std::vector<std::uint32_t> argb(std::size_t{desc.Width} * desc.Height);
    D3DLOCKED_RECT locked = {};
    if (FAILED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY))) return {};
    const auto* bits = static_cast<const std::uint8_t*>(locked.pBits);
    for (UINT y = 0; y < desc.Height; ++y) {
      for (UINT x = 0; x < desc.Width; ++x) {
        std::uint32_t& out = argb[std::size_t{y} * desc.Width + x];
        if (desc.Format == D3DFMT_A8R8G8B8) {
          std::memcpy(&out, bits + y * locked.Pitch + x * 4, 4);
        } else if (desc.Format == D3DFMT_R5G6B5) {
          std::uint16_t pixel;
          std::memcpy(&pixel, bits + y * locked.Pitch + x * 2, 2);
          out = codec::Expand565(pixel);
        } else if (desc.Format == D3DFMT_DXT5) {
          std::uint32_t block[16];
          codec::DecodeDxtBlock(codec::PixelFormat::kDxt5, bits + (y / 4) * locked.Pitch + (x / 4) * 16, block);
          out = block[(y % 4) * 4 + x % 4];
        }
      }
    }
    surface->UnlockRect();
    return argb;
  }

  static void ExpectProbes(const std::vector<std::uint32_t>& argb, std::uint32_t width,
                           const std::vector<Probe>& probes) {
    ASSERT_FALSE(argb.empty());
    for (const Probe& probe : probes) {
      EXPECT_EQ(argb[std::size_t{probe.y} * width + probe.x], probe.argb)
          << std::hex << "at (" << std::dec << probe.x << ", " << probe.y << ")";
    }
  }

  HRESULT Load(IDirect3DSurface9* surface, const std::vector<std::uint8_t>& file, UINT size, D3DCOLOR key = 0) {
    return image_->LoadImage(surface, file.data(), static_cast<std::uint32_t>(file.size()), size, size, key);
  }

  static inline std::optional<Vela3DWindow> window_;
  static inline bool started_ = false;
  IDirect3DDevice9* device_ = nullptr;
  CResourceManager* manager_ = nullptr;
  TestImage* image_ = nullptr;
  ComPtr<IDirect3DTexture9> texture_;
};

TEST_F(ImageObjects, ManagerHoldsTheDeviceAndKnowsItsWindow) {
  const unsigned long before = RefCount(device_);
  auto* second = new CResourceManager(device_);
  EXPECT_EQ(RefCount(device_), before + 1);
  IDirect3DDevice9* out = nullptr;
  ASSERT_TRUE(second->GetDevice(&out));
  EXPECT_EQ(out, device_);
  EXPECT_EQ(RefCount(device_), before + 2) << "GetDevice hands out a reference";
  out->Release();
  EXPECT_EQ(second->GetFocusWindow(), window_->Handle());
  EXPECT_EQ(image_->GetFocusWindow(), window_->Handle());
  EXPECT_EQ(image_->GetDevice(), device_);
  delete second;
  EXPECT_EQ(RefCount(device_), before);

  CDeviceManager without(nullptr);
  EXPECT_FALSE(without.GetDevice(&out));
  EXPECT_EQ(without.GetFocusWindow(), nullptr);
}

// A texture that hands out a given Direct3D texture, or none.
class FixedDeviceTexture final : public DeviceTexture {
 public:
  IDirect3DBaseTexture9* AcquireDeviceTexture() override {
    if (fetched) fetched->AddRef();
    return fetched;
  }
  IDirect3DTexture9* fetched = nullptr;
};

TEST_F(ImageObjects, SetTextureBindsTheTexturesDeviceTextureAndNullUnbinds) {
  ComPtr<IDirect3DSurface9> surface = Surface(D3DFMT_A8R8G8B8, 4, D3DPOOL_DEFAULT);  // makes texture_
  FixedDeviceTexture fixed;
  fixed.fetched = texture_.Get();
  DeviceTexture* someTexture = &fixed;
  const unsigned long before = RefCount(texture_.Get());
  EXPECT_EQ(image_->SetTexture(1, someTexture), D3D_OK);
  ComPtr<IDirect3DBaseTexture9> bound;
  device_->GetTexture(1, bound.Out());
  EXPECT_EQ(bound.Get(), texture_.Get());
  bound.Reset();
  device_->SetTexture(1, nullptr);
  EXPECT_EQ(RefCount(texture_.Get()), before) << "the fetched reference went back";

  fixed.fetched = nullptr;  // a texture without its default-pool texture, after a device loss
  EXPECT_EQ(image_->SetTexture(1, someTexture), D3D_OK);
  device_->GetTexture(1, bound.Out());
  EXPECT_EQ(bound.Get(), nullptr);
}

TEST_F(ImageObjects, GetImageInfoReadsThePngsSizeAndFormat) {
  const std::vector<std::uint8_t> png = QuadrantPng(16, 16);
  ASSERT_TRUE(image_->GetImageInfo(png.data(), static_cast<std::uint32_t>(png.size())));
  EXPECT_EQ(image_->GetImageWidth(), 16u);
  EXPECT_EQ(image_->GetImageHeight(), 16u);
}

TEST_F(ImageObjects, LoadsAPngIntoA8R8G8B8AndScalesItOverTheWholeSurface) {
  const std::vector<std::uint8_t> png = QuadrantPng(16, 16);
  ComPtr<IDirect3DSurface9> same = Surface(D3DFMT_A8R8G8B8, 16);
  ASSERT_EQ(Load(same.Get(), png, 16), D3D_OK);
  const std::vector<std::uint32_t> pixels = ReadArgb(same.Get());
  ExpectProbes(pixels, 16, QuadrantProbes(16));
  ExpectProbes(pixels, 16, {{0, 0, kRed}, {15, 0, kGreen}, {0, 15, kBlue}, {15, 15, kWhite}});

  ComPtr<IDirect3DSurface9> larger = Surface(D3DFMT_A8R8G8B8, 64);
  ASSERT_EQ(Load(larger.Get(), png, 64), D3D_OK);
  ExpectProbes(ReadArgb(larger.Get()), 64, QuadrantProbes(64));
}

TEST_F(ImageObjects, LoadsIntoR5G6B5AndDxt5) {
  const std::vector<std::uint8_t> png = QuadrantPng(16, 16);
  ComPtr<IDirect3DSurface9> r5g6b5 = Surface(D3DFMT_R5G6B5, 32);
  ASSERT_EQ(Load(r5g6b5.Get(), png, 32), D3D_OK);
  ExpectProbes(ReadArgb(r5g6b5.Get()), 32, QuadrantProbes(32));

  ComPtr<IDirect3DSurface9> dxt5 = Surface(D3DFMT_DXT5, 32);
  ASSERT_EQ(Load(dxt5.Get(), png, 32), D3D_OK);
  ExpectProbes(ReadArgb(dxt5.Get()), 32, QuadrantProbes(32));
}

TEST_F(ImageObjects, ColorKeyedPixelsBecomeTransparentBlack) {
  const std::vector<std::uint8_t> png = QuadrantPng(16, 16, kMagenta);
  ComPtr<IDirect3DSurface9> surface = Surface(D3DFMT_A8R8G8B8, 16);
  ASSERT_EQ(Load(surface.Get(), png, 16, kMagenta), D3D_OK);
  ExpectProbes(ReadArgb(surface.Get()), 16, QuadrantProbes(16, 0x00000000));
}

TEST_F(ImageObjects, ADefaultPoolSurfaceIsFilledThroughSystemMemory) {
  const std::vector<std::uint8_t> png = QuadrantPng(16, 16);
  ComPtr<IDirect3DSurface9> target = Surface(D3DFMT_A8R8G8B8, 32, D3DPOOL_DEFAULT, D3DUSAGE_RENDERTARGET);
  ASSERT_TRUE(target);
  D3DLOCKED_RECT locked = {};
  ASSERT_TRUE(FAILED(target->LockRect(&locked, nullptr, 0))) << "the path under test needs an unlockable surface";
  ASSERT_EQ(Load(target.Get(), png, 32), D3D_OK);
  ComPtr<IDirect3DSurface9> copy;
  ASSERT_EQ(device_->CreateOffscreenPlainSurface(32, 32, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, copy.Out(), nullptr),
            D3D_OK);
  ASSERT_EQ(device_->GetRenderTargetData(target.Get(), copy.Get()), D3D_OK);
  ExpectProbes(ReadArgb(copy.Get()), 32, QuadrantProbes(32));
}

TEST_F(ImageObjects, BadInputAnswersTheCodecsResultAndLeavesTheSurface) {
  ComPtr<IDirect3DSurface9> surface = Surface(D3DFMT_A8R8G8B8, 16);
  const std::vector<std::uint8_t> junk(100, 0x5A);
  EXPECT_EQ(Load(surface.Get(), junk, 16), static_cast<HRESULT>(codec::Result::kInvalidData));
  const std::vector<std::uint8_t> png = QuadrantPng(16, 16);
  EXPECT_EQ(Load(nullptr, png, 16), D3DERR_INVALIDCALL);
  EXPECT_EQ(Load(surface.Get(), png, 17), D3DERR_INVALIDCALL) << "a rectangle beyond the surface";
  const std::vector<std::uint8_t> truncated(png.begin(), png.begin() + png.size() / 2);
  EXPECT_NE(Load(surface.Get(), truncated, 16), D3D_OK);
}

TEST_F(ImageObjects, SavedTextureReadsBackAsTheSamePixels) {
  const std::vector<std::uint8_t> png = QuadrantPng(16, 16);
  ComPtr<IDirect3DSurface9> surface = Surface(D3DFMT_A8R8G8B8, 16);
  ASSERT_EQ(Load(surface.Get(), png, 16), D3D_OK);
  for (codec::FileFormat format : {codec::FileFormat::kPng, codec::FileFormat::kBmp, codec::FileFormat::kDds}) {
    const std::string path = TempPath("saved_" + std::to_string(static_cast<int>(format)));
    ASSERT_EQ(SaveTextureToFile(path.c_str(), format, texture_.Get()), D3D_OK);
    const std::string saved = ReadWholeFile(path);
    DeleteFileA(path.c_str());
    ASSERT_FALSE(saved.empty());
    const std::vector<std::uint8_t> file(saved.begin(), saved.end());

    ComPtr<IDirect3DSurface9> back = Surface(D3DFMT_A8R8G8B8, 16);
    ASSERT_EQ(Load(back.Get(), file, 16), D3D_OK);
    EXPECT_EQ(ReadArgb(back.Get()), ReadArgb(surface.Get())) << "format " << static_cast<int>(format);
  }
  EXPECT_EQ(SaveTextureToFile("x.png", codec::FileFormat::kJpg, texture_.Get()), E_NOTIMPL);
  EXPECT_EQ(SaveTextureToFile(nullptr, codec::FileFormat::kPng, texture_.Get()), D3DERR_INVALIDCALL);
}

TEST_F(ImageObjects, GetImageInfoOfWhatIsNoImageWritesTheRedLine) {
  LogCapture capture;
  ASSERT_TRUE(LogIsOpen());

  const char junk[] = "this is no image file";
  EXPECT_FALSE(image_->GetImageInfo(junk, sizeof junk));
  EXPECT_FALSE(image_->GetImageInfo(junk, 0));
  capture.Close();
  const std::string log = capture.Bytes();

  const std::string invalidData = AsLogBytes(std::string("<B><FONT color=\"RED\">ファイルの読み込みに失敗しました [ ") +
                                             ErrorTextUtf8(static_cast<ResultCode>(codec::Result::kInvalidData)) +
                                             " ]</FONT></B><BR>\n");
  const std::string invalidCall = AsLogBytes(std::string("<B><FONT color=\"RED\">ファイルの読み込みに失敗しました [ ") +
                                             ErrorTextUtf8(result::kInvalidCall) + " ]</FONT></B><BR>\n");
  EXPECT_NE(log.find(invalidData), std::string::npos) << log;
  EXPECT_NE(log.find(invalidCall), std::string::npos) << "empty data";
}

}  // namespace
}  // namespace vela
