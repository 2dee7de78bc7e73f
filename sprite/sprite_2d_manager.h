// CSprite2DManager and CPrimitive2DManager: the one manager of each 2D vertex object class.
// Create makes an object on the manager's device with its buffers, logging
// "CSprite2D::Create" (or "CPrimitive2D::Create") and the outcome; an object whose buffers
// cannot be made is destroyed again and null is answered.
#pragma once

#include <cstdint>

#include "sprite/object_2d_manager.h"

namespace vela {

class CPrimitive2D;
class CSprite2D;

class CSprite2DManager : public CObject2DManager {
 public:
  using CObject2DManager::CObject2DManager;
  virtual CSprite2D* Create(std::uint32_t capacity, std::uint32_t vertexType, bool sortByDepth);
};

class CPrimitive2DManager : public CObject2DManager {
 public:
  using CObject2DManager::CObject2DManager;
  virtual CPrimitive2D* Create(std::uint32_t capacity, std::uint32_t vertexType, bool sortByDepth);
};

}  // namespace vela
