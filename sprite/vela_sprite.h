// VelaSprite: the handle-level sprite service that the exports and the boot call, and the
// start and stop of the 2D primitive manager. A handle is a CSprite2D*; every operation on a
// null handle does nothing.
//
// Start makes the manager on Vela3D's device and puts it into the device-loss order and the 2D
// settings broadcast; Stop takes it out and destroys it, releasing what only its list held.
#pragma once

#include <d3d9.h>

#include <cstdint>

#include "graphics/rect_2d.h"
#include "graphics/viewport_clip.h"
#include "sprite/sprite_shapes.h"

namespace vela {

class CPrimitive2DManager;
class CSprite2D;
class CSprite2DManager;
class CTexture;

namespace VelaSprite {

bool Start();  // false when the manager cannot be made
void Stop();
void OnLostDevice();
void OnResetDevice();

CSprite2D* Create(std::uint32_t capacity, std::uint32_t vertexType, bool sortByDepth);

// Handed to every live sprite; a rectangle only when on.
void SetScissor(bool on, const PixelRect* rectangle);
void SetZoom(bool on, float centreX, float centreY, float factor);
void SetPerspective(bool on, float centreX, float centreY, float depthFactor);

void AttatchTexture(CSprite2D* sprite, std::uint32_t stage, CTexture* texture);
void ResetBuffer(CSprite2D* sprite);
void UpdateBuffer(CSprite2D* sprite);
void Rendering(CSprite2D* sprite);
bool DrawSquare(CSprite2D* sprite, const Rect2D& destination, float z, const Rect2D* source, D3DCOLOR colour,
                std::uint32_t stages);
void DrawList(CSprite2D* sprite, const RibbonPoints& points, const Rect2D& source);

CSprite2DManager* Manager();  // while started, else null

}  // namespace VelaSprite

// The manager of plain 2D primitives; no export makes one, but its objects take the 2D
// settings and device loss like sprites.
namespace VelaPrimitive2D {

bool Start();
void Stop();
CPrimitive2DManager* Manager();

}  // namespace VelaPrimitive2D
}  // namespace vela
