#include "sprite/sprite_2d_manager.h"

#include "core/vela_debug.h"
#include "sprite/primitive_2d.h"
#include "sprite/sprite_2d.h"

namespace vela {
namespace {

template <typename Object>
Object* CreateObject(CResourceManager* manager, const char* label, std::uint32_t capacity, std::uint32_t vertexType,
                     bool sortByDepth) {
  auto* object = new Object(manager);
  LogBlue("%s", label);
  if (object && object->CreateBuffers(capacity, vertexType, sortByDepth)) {
    LogGreen("Success!");
    LogBreak();
    return object;
  }
  LogRed("Failed!");
  LogBreak();
  if (object) object->Release();
  return nullptr;
}

}  // namespace

CSprite2D* CSprite2DManager::Create(std::uint32_t capacity, std::uint32_t vertexType, bool sortByDepth) {
  return CreateObject<CSprite2D>(this, "CSprite2D::Create", capacity, vertexType, sortByDepth);
}

CPrimitive2D* CPrimitive2DManager::Create(std::uint32_t capacity, std::uint32_t vertexType, bool sortByDepth) {
  return CreateObject<CPrimitive2D>(this, "CPrimitive2D::Create", capacity, vertexType, sortByDepth);
}

}  // namespace vela
