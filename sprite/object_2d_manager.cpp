#include "sprite/object_2d_manager.h"

#include "sprite/vertex_object_2d.h"

namespace vela {
namespace {

// Every object of these managers is a 2D vertex object.
template <typename Call>
void ForEachObject(CBaseList& list, Call call) {
  for (CBaseObject* object = list.GetFirst(); object;) {
    CBaseObject* next = object->GetNext();
    call(*static_cast<CVertexObject2D*>(object));
    object = next;
  }
}

}  // namespace

void CObject2DManager::ScissorBroadcast(const PixelRect* rectangle) {
  ForEachObject(*this, [&](CVertexObject2D& object) { object.SetScissor(rectangle); });
}

void CObject2DManager::ZoomBroadcast(bool on, float centreX, float centreY, float factor) {
  ForEachObject(*this, [&](CVertexObject2D& object) { object.SetZoom(on, centreX, centreY, factor); });
}

void CObject2DManager::PerspectiveBroadcast(bool on, float centreX, float centreY, float depthFactor) {
  ForEachObject(*this, [&](CVertexObject2D& object) { object.SetPerspective(on, centreX, centreY, depthFactor); });
}

void CObject2DManager::OnScissoring(bool enable, const PixelRect& rectangle) {
  ScissorBroadcast(enable ? &rectangle : nullptr);
}

void CObject2DManager::OnPerspective(bool enable, float centreX, float centreY, float strength) {
  PerspectiveBroadcast(enable, centreX, centreY, strength);
}

void CObject2DManager::OnZoom(bool enable, float centreX, float centreY, float factor) {
  ZoomBroadcast(enable, centreX, centreY, factor);
}

}  // namespace vela
