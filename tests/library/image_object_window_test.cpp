// The image object base: images loaded through our codec into lockable surfaces and into a
// default-pool surface that cannot be locked, and bad input refused.

#include <optional>
#include <tuple>

#include "core/resource_manager.h"
#include "image/image_object.h"
#include "tests/library/library_window_support.h"

namespace vela {
namespace {

using namespace test;

struct TestImage final : CImageObject {
  using CImageObject::CImageObject;
  void OnLostDevice() override {}
  void OnResetDevice() override {}
  bool SetRenderTarget() override { return false; }
  bool SetDepthStencil() override { return false; }
};

class ImageObjects : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { window_.emplace("Vela image object test", 320, 240); }
  static void TearDownTestSuite() { window_.reset(); }

  void SetUp() override {
    ASSERT_TRUE(window_->Started());
    device_ = Vela3D::Device();
    manager_ = new CResourceManager(device_);
    image_ = new TestImage(manager_);
  }
  void TearDown() override {
    image_->Release();
    delete manager_;
  }

  // Level 0 of a new A8R8G8B8 texture in `pool`.
  ComPtr<IDirect3DSurface9> Surface(UINT size, D3DPOOL pool = D3DPOOL_SYSTEMMEM, DWORD usage = 0) {
    ComPtr<IDirect3DSurface9> surface;
    EXPECT_EQ(device_->CreateTexture(size, size, 1, usage, D3DFMT_A8R8G8B8, pool, texture_.Out(), nullptr), D3D_OK);
    if (texture_) texture_->GetSurfaceLevel(0, surface.Out());
    return surface;
  }

  HRESULT Load(IDirect3DSurface9* surface, const std::vector<std::uint8_t>& file, UINT size) {
    return image_->LoadImage(surface, file.data(), static_cast<std::uint32_t>(file.size()), size, size, 0);
  }

  static inline std::optional<Vela3DWindow> window_;
  IDirect3DDevice9* device_ = nullptr;
  CResourceManager* manager_ = nullptr;
  TestImage* image_ = nullptr;
  ComPtr<IDirect3DTexture9> texture_;
};

// The quadrant picture copied, scaled up, and written into an unlockable render target through
// system memory: each quadrant's middle keeps its colour.
TEST_F(ImageObjects, LoadsAPngOverTheWholeSurfaceAndRefusesBadInput) {
  const std::vector<std::uint8_t> png = QuadrantPng(16, 16);
  for (const auto& [size, pool, usage] : {std::tuple{16u, D3DPOOL_SYSTEMMEM, DWORD{0}}, {64u, D3DPOOL_SYSTEMMEM, DWORD{0}},
                                          {32u, D3DPOOL_DEFAULT, DWORD{D3DUSAGE_RENDERTARGET}}}) {
    SCOPED_TRACE(testing::Message() << "size " << size << ", pool " << pool);
    ComPtr<IDirect3DSurface9> surface = Surface(size, pool, usage);
    ASSERT_EQ(Load(surface.Get(), png, size), D3D_OK);
    const Screen pixels = ReadSurface(surface.Get());
    ASSERT_FALSE(pixels.Empty());
    const int low = static_cast<int>(size / 4), high = static_cast<int>(size * 3 / 4);
    for (auto [x, y, colour] : {std::tuple{low, low, kRed}, {high, low, kGreen}, {low, high, kBlue}, {high, high, kWhite}}) {
      EXPECT_EQ(pixels.At(x, y), Rgb(colour)) << "at (" << x << ", " << y << ")";
    }
  }

  ComPtr<IDirect3DSurface9> surface = Surface(16);
  EXPECT_EQ(Load(surface.Get(), std::vector<std::uint8_t>(100, 0x5A), 16), static_cast<HRESULT>(codec::Result::kInvalidData));
  EXPECT_EQ(Load(nullptr, png, 16), D3DERR_INVALIDCALL);
  EXPECT_EQ(Load(surface.Get(), png, 17), D3DERR_INVALIDCALL) << "a rectangle beyond the surface";
}

}  // namespace
}  // namespace vela
