// VelaSimple: immediate 2D drawing. One dynamic vertex buffer of 256 Vertex2D; each call
// writes one triangle fan into it (locked with discard) and draws it at once: no batching, no
// depth sorting, no clipping, and none of the scissor and perspective settings of the managed
// 2D objects. Blending, stage operations and filtering are whatever the state cache holds.
//
// The buffer lives in the default pool: it is released before a device reset and created again
// after it (the simple-drawing slot of the device-loss order); between the two every draw does
// nothing and says nothing.
#pragma once

#include <windows.h>

#include <d3d9.h>

#include <cstdint>

#include "graphics/rect_2d.h"
#include "graphics/vertex_2d.h"

namespace vela {

class CTexture;

namespace VelaSimple {

inline constexpr std::uint32_t kMaxVertices = 256;

bool Initialize();  // creates the buffer and joins the device-loss order; logs only a failure
void Finalize();    // releases the buffer
void Restore();     // creates it again after a device reset
// The boot's stop: Finalize and leave the device-loss order.
void Shutdown();

// One quad from the source rectangles (image pixels, one per stage) to the destination (pixels),
// turned by `angle` about the destination's centre moved by (ox, oy). The UV inset offsetUV
// moves every source edge inward. `count` stages (at most 4) get textures[s] and src[s].
void DrawTexture(const Rect2D* destination, std::int32_t angle, const Rect2D* sources, D3DCOLOR colour,
                 CTexture* const* textures, std::uint32_t count, std::int32_t centreOffsetX,
                 std::int32_t centreOffsetY);
// `vertices` (positions in pixels, UVs in image pixels) become texture coordinates in place and
// are drawn as a fan; at most kMaxVertices, more draw nothing.
void DrawPolygon(Vertex2D* vertices, std::uint32_t vertexCount, CTexture* const* textures, std::uint32_t count);
// Binds the textures (the other stages unbound) and draws the buffer's first vertices as a fan.
void RenderFan(std::uint32_t vertexCount, CTexture* const* textures, std::uint32_t count);

bool HasVertexBuffer();

}  // namespace VelaSimple
}  // namespace vela
