// CSprite2D: a 2D primitive with up to four textures, filled with squares (DrawSquare) and
// ribbons (DrawList) during a frame and drawn with one call. Each attached texture holds one
// reference, given back when another takes its stage and when the sprite is destroyed.
// Rendering binds all four stages (a stage without a texture is unbound) and draws.
#pragma once

#include <d3d9.h>

#include <cstdint>

#include "graphics/rect_2d.h"
#include "sprite/primitive_2d.h"
#include "sprite/sprite_shapes.h"

namespace vela {

class CTexture;

class CSprite2D : public CPrimitive2D {
 public:
  static constexpr std::uint32_t kStages = 4;

  using CPrimitive2D::CPrimitive2D;
  ~CSprite2D() override;

  void Rendering() override;

  // The virtual operations of this class, in their fixed order.
  // Stage 4 and above are ignored.
  virtual void AttatchTexture(std::uint32_t stage, CTexture* texture);
  // A square of `source` rectangles (one per stage below `stages`, in image pixels) over the
  // destination at depth z; false when it does not fit.
  virtual bool DrawSquare(const Rect2D& destination, float z, const Rect2D* source, D3DCOLOR colour,
                          std::uint32_t stages);
  // A ribbon through the points with stage 0's texture; segments that do not fit are lost.
  virtual void DrawList(const RibbonPoints& points, const Rect2D& source);

  CTexture* GetTexture(std::uint32_t stage) const { return stage < kStages ? textures_[stage] : nullptr; }

 private:
  // Stage `stage`'s texture coordinates of `source` with the manager's inset; zero without a
  // texture.
  UvRect SourceUv(std::uint32_t stage, const Rect2D& source) const;

  CTexture* textures_[kStages] = {};
};

}  // namespace vela
