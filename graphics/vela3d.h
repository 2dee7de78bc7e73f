// Vela3D: the library's one graphics device service on Direct3D 9 (loaded at run time).
// The boot initialises it (load Direct3D, enumerate the default adapter), starts it on the
// main window, and the shutdown releases it.
//
// Only the default adapter is used. Every render, texture-stage and sampler state goes through
// the state cache here, so that it is sent only when it changes. Object managers that hold
// default-pool resources join the device-loss order (graphics/device_loss.h); managers of 2D
// objects join the 2D settings broadcast (graphics/settings_2d.h).
#pragma once

#include <windows.h>

#include <d3d9.h>

#include <cstdint>

#include "core/device_object.h"
#include "graphics/state_cache.h"
#include "graphics/vela3d_caps.h"

namespace vela::Vela3D {

// How Initialize makes the Direct3D object from d3d9.dll's Direct3DCreate9. Null (the library's
// own choice) calls it with the SDK version; a test may set a maker that wraps the object in a
// recording or failing stand-in before Initialize. Nothing in the library sets it.
using Direct3DCreateFunction = IDirect3D9*(WINAPI*)(UINT sdkVersion);
using Direct3DMaker = IDirect3D9* (*)(Direct3DCreateFunction create, UINT sdkVersion);
void SetDirect3DMaker(Direct3DMaker maker);

// Start-up and shutdown.
bool Initialize();
bool Start(HWND window, bool windowed);
void Release();  // safe from any state, also after a partial initialise

// The device and what belongs to it (null while it does not exist).
IDirect3DDevice9* Device();
IDirect3D9* Direct3D();
HMONITOR AdapterMonitor();
IDirect3DSurface9* BackBuffer();
IDirect3DQuery9* EventQuery();
IDirect3DQuery9* OcclusionQuery();
Vela3DCaps Caps();
const D3DPRESENT_PARAMETERS& WindowedParameters();
const D3DPRESENT_PARAMETERS& FullScreenParameters();

// Formats and texts.
D3DFORMAT ResolveFormat(std::int32_t formatKind, D3DFORMAT given);  // a FormatKind
// The name of a format without its D3DFMT_ prefix, kept in one buffer that the next call
// overwrites (a format outside the table leaves the previous name); copied to `destination`
// too when one is given (it must hold 32 bytes).
const char* FormatName(D3DFORMAT format, char* destination = nullptr);
// The Japanese message for a Direct3D or D3DX result (UTF-8, as every logged text), kept in one
// buffer that the next call overwrites.
const char* ErrorText(HRESULT result);

// The frame.
bool BeginScene();  // nested calls reach the device once
void EndScene();
bool Clear(DWORD flags, D3DCOLOR colour, float depth, DWORD stencil, const RECT* rectangle);
void FillRect(const RECT* rectangle, D3DCOLOR colour);  // a target clear of the rectangle
void Refresh(HWND window);  // presents; recovers a lost device
// The per-frame work that WaitMsg runs after the input refresh: the back buffer becomes the
// render target again, depth test and write go off.
bool FrameStep();
// Gives up and re-creates every default-pool resource around a device reset. Without force it
// does nothing while the device is operational.
void Restore(bool force);

// Render states through the cache.
void SetRenderState(D3DRENDERSTATETYPE state, DWORD value);
void SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value);
void SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value);
DWORD CachedRenderState(D3DRENDERSTATETYPE state);
void SetBlendingType(std::uint32_t type);  // 0-5; any other value changes nothing
// The samplers' side of the filter switch; VelaTexture::SetFilter adds the source inset.
void SetFilter(bool on);
void GetDefaultStateSet(RenderStateSet* destination);
void ApplyStateSet(const RenderStateSet& set);
// Stages 4 and above are ignored; null unbinds.
void BindTexture(DWORD stage, DeviceTexture* texture);
void SelectVertexProcessing(std::uint32_t major, std::uint32_t minor);
bool NeedsSoftwareVertexProcessing(std::uint32_t major, std::uint32_t minor);

// The 2D object settings, handed to every 2D object manager. The scissor rectangle (left, top,
// right, bottom in virtual coordinates) is converted to back-buffer pixels in place.
void SetScissoring(bool enable, RECT* rectangle);
void SetPerspective(bool enable, float centreX, float centreY, float strength);
void SetZoom(bool enable, float centreX, float centreY, float factor);
// Cuts a copy's destination to the viewport and its source alike; false when nothing is left.
bool ClipToViewport(RECT* destination, RECT* source);

}  // namespace vela::Vela3D
