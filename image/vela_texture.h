// VelaTexture: the handle-level face of the texture manager, which the exports and the boot
// call. A handle is a CTexture*; a null handle is no texture (Release and AddRef do nothing,
// ToU and ToV answer 0).
//
// Start makes the manager on Vela3D's device, puts it first in the device-loss order and lets
// the device bind textures and set offsetUV through it; Stop undoes all of that and destroys
// the manager with whatever textures only its list still held.
#pragma once

#include <windows.h>

#include <d3d9.h>

#include <cstdint>

#include "graphics/rect_2d.h"
#include "graphics/state_cache.h"

namespace vela {

class CTexture;
class CTextureManager;

namespace VelaTexture {

bool Start();  // false when the manager cannot be made
void Stop();
void OnLostDevice();
void OnResetDevice();

void Release(CTexture* texture);
void AddRef(CTexture* texture);

CTexture* Create(std::uint32_t width, std::uint32_t height, std::int32_t formatKind);
CTexture* Load(const char* name, std::int32_t formatKind, D3DCOLOR colorKey);
CTexture* LoadFromQPK(const char* archive, const char* name, std::int32_t formatKind);

// The source-rectangle inset of texture and sprite drawing, in image pixels; 0 without a
// manager.
void SetOffsetUV(float value);
float GetOffsetUV();
// The texture-filter switch: samplers 0-3 filtered or point-sampled (Vela3D::SetFilter), with the
// source inset that goes with it, 0.5 with filtering and 0 without.
void SetFilter(bool on);
// A render-state set, with the inset of its filter switch.
void ApplyStateSet(const RenderStateSet& set);

float ToU(CTexture* texture, float x);
float ToV(CTexture* texture, float y);

// One textured quad straight to the device (VelaSimple::DrawTexture): Draw unrotated about no
// offset, DrawRotate turned by `angle` about the destination's centre moved by (ox, oy).
void Draw(CTexture* texture, const Rect2D* destination, const Rect2D* source, D3DCOLOR colour);
void DrawRotate(CTexture* texture, const Rect2D* destination, const Rect2D* source, D3DCOLOR colour,
                std::int32_t angle, std::int32_t centreOffsetX, std::int32_t centreOffsetY);

// The manager while started, else null.
CTextureManager* Manager();

}  // namespace VelaTexture
}  // namespace vela
