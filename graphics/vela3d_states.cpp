// Vela3D's render states: the state cache on the device, the start-up defaults and their
// write-back, blending types, the filter switch, state sets, texture binding, vertex
// processing, and the 2D object settings.
#include <windows.h>

#include <d3d9.h>

#include <bit>
#include <cstring>

#include "core/device_calls.h"
#include "core/vela_core.h"
#include "graphics/settings_2d.h"
#include "graphics/vela3d.h"
#include "graphics/vela3d_state.h"
#include "graphics/viewport_clip.h"

namespace vela::Vela3D {
namespace {

static_assert(state::kZEnable == D3DRS_ZENABLE && state::kZWriteEnable == D3DRS_ZWRITEENABLE);
static_assert(state::kSrcBlend == D3DRS_SRCBLEND && state::kDestBlend == D3DRS_DESTBLEND);
static_assert(state::kAlphaRef == D3DRS_ALPHAREF && state::kAlphaFunc == D3DRS_ALPHAFUNC);
static_assert(state::kAlphaBlendEnable == D3DRS_ALPHABLENDENABLE && state::kLighting == D3DRS_LIGHTING);
static_assert(state::kCullMode == D3DRS_CULLMODE && state::kAlphaTestEnable == D3DRS_ALPHATESTENABLE);
static_assert(state::kAlphaArg2 == D3DTSS_ALPHAARG2 && state::kMaxAnisotropy == D3DSAMP_MAXANISOTROPY);
static_assert(state::kMipFilter == D3DSAMP_MIPFILTER && state::kFilterAnisotropic == D3DTEXF_ANISOTROPIC);
static_assert(state::kBlendInvDestColor == D3DBLEND_INVDESTCOLOR && state::kBlendSrcColor == D3DBLEND_SRCCOLOR);
static_assert(state::kTopModulate == D3DTOP_MODULATE && state::kArgTexture == D3DTA_TEXTURE);
static_assert(sizeof(RECT) == sizeof(PixelRect));

// The nearest plane is not 0 so that a depth of 0 still lies inside the view.
constexpr float kViewportMinZ = std::bit_cast<float>(0x15F79688u);

PixelRect ToPixelRect(const RECT& rectangle) {
  PixelRect pixels;
  std::memcpy(&pixels, &rectangle, sizeof pixels);
  return pixels;
}

void FromPixelRect(const PixelRect& pixels, RECT& rectangle) { std::memcpy(&rectangle, &pixels, sizeof pixels); }

}  // namespace

std::uint32_t DeviceStates::GetRenderState(std::uint32_t state) {
  DWORD value = 0;
  device_->GetRenderState(static_cast<D3DRENDERSTATETYPE>(state), &value);
  return value;
}

void DeviceStates::SetRenderState(std::uint32_t state, std::uint32_t value) {
  device_->SetRenderState(static_cast<D3DRENDERSTATETYPE>(state), value);
}

std::uint32_t DeviceStates::GetTextureStageState(std::uint32_t stage, std::uint32_t type) {
  DWORD value = 0;
  device_->GetTextureStageState(stage, static_cast<D3DTEXTURESTAGESTATETYPE>(type), &value);
  return value;
}

void DeviceStates::SetTextureStageState(std::uint32_t stage, std::uint32_t type, std::uint32_t value) {
  device_->SetTextureStageState(stage, static_cast<D3DTEXTURESTAGESTATETYPE>(type), value);
}

std::uint32_t DeviceStates::GetSamplerState(std::uint32_t sampler, std::uint32_t type) {
  DWORD value = 0;
  device_->GetSamplerState(sampler, static_cast<D3DSAMPLERSTATETYPE>(type), &value);
  return value;
}

void DeviceStates::SetSamplerState(std::uint32_t sampler, std::uint32_t type, std::uint32_t value) {
  device_->SetSamplerState(sampler, static_cast<D3DSAMPLERSTATETYPE>(type), value);
}

void InitializeStateCache() {
  State& vela = Vela();
  int width = 0;
  int height = 0;
  GetScreen(&width, &height, nullptr);
  vela.viewport = D3DVIEWPORT9{0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), kViewportMinZ, 1.0f};
  vela.cacheDevice = std::make_unique<DeviceStates>(vela.device.Get());
  const FilterCaps filterCaps{vela.caps.magnifyAnisotropic != 0, vela.caps.minifyAnisotropic != 0,
                              vela.caps.maxAnisotropy};
  vela.cache.Initialize(*vela.cacheDevice, filterCaps);
}

void ApplyStateCache() {
  State& vela = Vela();
  if (!vela.device) return;
  vela.device->SetViewport(&vela.viewport);
  vela.cache.WriteBack();
  vela.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00000000, 1.0f, 0);
}

void ReleaseStateCacheDevice() {
  State& vela = Vela();
  vela.cache.Detach();
  vela.cacheDevice.reset();
}

void SetRenderState(D3DRENDERSTATETYPE state, DWORD value) { Vela().cache.SetRenderState(state, value); }

void SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
  Vela().cache.SetTextureStageState(stage, type, value);
}

void SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
  Vela().cache.SetSamplerState(sampler, type, value);
}

DWORD CachedRenderState(D3DRENDERSTATETYPE state) { return Vela().cache.RenderState(state); }

void SetBlendingType(std::uint32_t type) { Vela().cache.SetBlendingType(type); }

void SetFilter(bool on) {
  Vela().cache.SetFilter(on);
}

void GetDefaultStateSet(RenderStateSet* destination) {
  if (destination) *destination = Vela().cache.DefaultStateSet();
}

void ApplyStateSet(const RenderStateSet& set) {
  Vela().cache.ApplyStateSet(set);
}

void BindTexture(DWORD stage, DeviceTexture* texture) {
  IDirect3DDevice9* device = Device();
  if (stage >= kCachedStages || !device) return;
  BindDeviceTexture(device, stage, texture);
}

bool NeedsSoftwareVertexProcessing(std::uint32_t major, std::uint32_t minor) {
  const Vela3DCaps& caps = Vela().caps;
  return vela::NeedsSoftwareVertexProcessing(caps.hardwareTransformAndLighting != 0, caps.vertexShaderVersion, major,
                                             minor);
}

void SelectVertexProcessing(std::uint32_t major, std::uint32_t minor) {
  if (IDirect3DDevice9* device = Device()) {
    device->SetSoftwareVertexProcessing(NeedsSoftwareVertexProcessing(major, minor) ? TRUE : FALSE);
  }
}

void SetScissoring(bool enable, RECT* rectangle) {
  if (!rectangle) return;
  PixelRect pixels = ToPixelRect(*rectangle);
  if (enable) {
    ScissorToDevicePixels(pixels, ScaleX(1.0f), ScaleY(1.0f));
    FromPixelRect(pixels, *rectangle);
  }
  BroadcastScissoring(enable, pixels);
}

void SetPerspective(bool enable, float centreX, float centreY, float strength) {
  BroadcastPerspective(enable, centreX, centreY, strength);
}

void SetZoom(bool enable, float centreX, float centreY, float factor) {
  BroadcastZoom(enable, centreX, centreY, factor);
}

bool ClipToViewport(RECT* destination, RECT* source) {
  if (!destination || !source) return false;
  const D3DVIEWPORT9& viewport = Vela().viewport;
  PixelRect to = ToPixelRect(*destination);
  PixelRect from = ToPixelRect(*source);
  const bool visible = vela::ClipToViewport({viewport.X, viewport.Y, viewport.Width, viewport.Height}, to, from);
  FromPixelRect(to, *destination);
  FromPixelRect(from, *source);
  return visible;
}

}  // namespace vela::Vela3D
