// Vela3D's module-wide state, shared by its source files (start-up, frame, render states).
// Not for use outside graphics/.
#pragma once

#include <windows.h>

#include <d3d9.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "core/com_ptr.h"
#include "graphics/state_cache.h"
#include "graphics/vela3d_caps.h"

namespace vela::Vela3D {

struct DisplayModeRecord {
  std::uint32_t width;
  std::uint32_t height;
  std::uint32_t refreshRate;
  std::uint32_t format;
};

inline constexpr int kMaxDisplayModes = 128;
inline constexpr int kMaxTextureFormats = 128;
inline constexpr int kMaxRenderTargetFormats = 32;
inline constexpr int kMaxDepthFormats = 16;

// The state cache's device side on the real device.
class DeviceStates final : public StateDevice {
 public:
  explicit DeviceStates(IDirect3DDevice9* device) : device_(device) {}
  std::uint32_t GetRenderState(std::uint32_t state) override;
  void SetRenderState(std::uint32_t state, std::uint32_t value) override;
  std::uint32_t GetTextureStageState(std::uint32_t stage, std::uint32_t type) override;
  void SetTextureStageState(std::uint32_t stage, std::uint32_t type, std::uint32_t value) override;
  std::uint32_t GetSamplerState(std::uint32_t sampler, std::uint32_t type) override;
  void SetSamplerState(std::uint32_t sampler, std::uint32_t type, std::uint32_t value) override;

 private:
  IDirect3DDevice9* device_;
};

struct State {
  HMODULE d3d9Module = nullptr;
  ComPtr<IDirect3D9> direct3d;
  ComPtr<IDirect3DDevice9> device;
  ComPtr<IDirect3DSurface9> backBuffer;
  ComPtr<IDirect3DQuery9> eventQuery;
  ComPtr<IDirect3DQuery9> occlusionQuery;

  char adapterDescription[512] = {};
  char adapterDriver[512] = {};
  char driverVersion[64] = {};
  D3DDISPLAYMODE desktopMode = {};
  std::vector<DisplayModeRecord> modes;
  DisplayModeRecord fullScreen16 = {};
  DisplayModeRecord fullScreen32 = {};
  std::vector<std::uint32_t> textureFormats;
  std::vector<std::uint32_t> renderTargetFormats;
  std::vector<std::uint32_t> depthFormats;
  Vela3DCaps caps = {};
  D3DPRESENT_PARAMETERS windowedParameters = {};
  D3DPRESENT_PARAMETERS fullScreenParameters = {};

  std::int32_t sceneDepth = 0;
  StateCache cache;
  std::unique_ptr<DeviceStates> cacheDevice;  // lives as long as the device
  D3DVIEWPORT9 viewport = {};
};

State& Vela();

// Shared steps.
void FillCaps(const D3DCAPS9& caps, Vela3DCaps& summary);
void LogCapabilityReport(const Vela3DCaps& caps);
void LogDeviceInformation(const Vela3DCaps& caps);
void InitializeStateCache();  // cache initialisation, at start
void ApplyStateCache();       // state application, at start and after a reset
void CreateQueries();
void ReleaseStateCacheDevice();

}  // namespace vela::Vela3D
