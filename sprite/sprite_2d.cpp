#include "sprite/sprite_2d.h"

#include <algorithm>
#include <utility>

#include "core/vela_debug.h"
#include "image/texture.h"
#include "image/vela_texture.h"

namespace vela {

CSprite2D::~CSprite2D() {
  LogRed("CSprite2D Destruct");
  LogBreak();
  for (CTexture*& texture : textures_) {
    VelaTexture::Release(texture);
    texture = nullptr;
  }
}

void CSprite2D::Rendering() {
  for (std::uint32_t stage = 0; stage < kStages; ++stage) SetTexture(stage, textures_[stage]);
  CPrimitive2D::Rendering();
}

void CSprite2D::AttatchTexture(std::uint32_t stage, CTexture* texture) {
  if (stage >= kStages) return;
  // The new reference first: attaching the texture a stage already holds must not free it.
  VelaTexture::AddRef(texture);
  VelaTexture::Release(std::exchange(textures_[stage], texture));
}

UvRect CSprite2D::SourceUv(std::uint32_t stage, const Rect2D& source) const {
  CTexture* texture = textures_[stage];
  if (!texture) return {};
  const float inset = VelaTexture::GetOffsetUV();
  return {VelaTexture::ToU(texture, source.x + inset), VelaTexture::ToV(texture, source.y + inset),
          VelaTexture::ToU(texture, source.x + source.width - inset),
          VelaTexture::ToV(texture, source.y + source.height - inset)};
}

bool CSprite2D::DrawSquare(const Rect2D& destination, float z, const Rect2D* source, D3DCOLOR colour,
                           std::uint32_t stages) {
  UvRect uv[kStages] = {};
  if (source) {
    for (std::uint32_t stage = 0; stage < std::min(stages, kStages); ++stage) uv[stage] = SourceUv(stage, source[stage]);
  }
  return batch_.PushSquare(destination, z, uv, colour);
}

void CSprite2D::DrawList(const RibbonPoints& points, const Rect2D& source) {
  PushRibbon(batch_, points, SourceUv(0, source));
}

}  // namespace vela
