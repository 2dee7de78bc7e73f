// VelaSurface: the handle-level face of the surface manager, which the exports and the boot
// call. A handle is a CSurface*; 0 is no surface.
//
// Start makes the manager on Vela3D's device and puts it into the device-loss order after the
// textures; Stop takes it out and destroys it with whatever surfaces only its list still held.
#pragma once

#include <windows.h>

#include <cstdint>

namespace vela {

class CSurface;
class CSurfaceManager;

namespace VelaSurface {

bool Start();  // false when the manager cannot be made
void Stop();
void OnLostDevice();
void OnResetDevice();

// The manager's CreateFromFile; null without a manager.
CSurface* Load(const char* name, std::int32_t formatKind);

// StretchRect of the surface onto the current back buffer without filtering; null rectangles
// stand for the whole of each. Copies nothing and answers false for a null surface or one
// without its default-pool surface (after a failed reset).
bool CopyToBackBuffer(const RECT* destRect, CSurface* surface, const RECT* sourceRect);

// The manager while started, else null.
CSurfaceManager* Manager();

}  // namespace VelaSurface
}  // namespace vela
