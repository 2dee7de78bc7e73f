// A recording, fault-injecting stand-in for Direct3D 9 under the library: a few entries of the
// Direct3D object, its devices and vertex buffers count their calls and, on demand, answer a
// failure; everything else reaches the real Direct3D, so what is drawn can still be read back.
#pragma once

#include <windows.h>

#include <d3d9.h>

#include <utility>
#include <vector>

namespace vela::test {

// A device type with its vertex-processing flag, as CreateDevice is asked for it.
using DeviceConfiguration = std::pair<D3DDEVTYPE, DWORD>;

// The answers given instead of the real call's; D3D_OK lets the real call answer.
struct D3D9Faults {
  HRESULT present = D3D_OK, cooperativeLevel = D3D_OK /* TestCooperativeLevel */, reset = D3D_OK;
  HRESULT beginScene = D3D_OK, createVertexBuffer = D3D_OK, createQuery = D3D_OK;
  std::vector<DeviceConfiguration> refusedDevices;  // CreateDevice answers D3DERR_NOTAVAILABLE
  DWORD removedDevCaps = 0;                          // cleared from IDirect3D9::GetDeviceCaps
  std::vector<D3DDISPLAYMODE> modes;                 // when given, the adapter's only modes
};

struct D3D9Calls {
  std::vector<DeviceConfiguration> createDevice;
  int reset = 0, beginScene = 0, endScene = 0, drawPrimitive = 0, vertexBufferLocks = 0;
};

// Makes the library's next Initialize use the stand-in; faults and counts start empty.
void InstallD3D9Recorder();
D3D9Faults& Faults();
D3D9Calls& Calls();

}  // namespace vela::test
