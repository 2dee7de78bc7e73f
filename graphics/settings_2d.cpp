#include "graphics/settings_2d.h"

#include <array>
#include <cstddef>

namespace vela {
namespace {

std::array<Object2DManager*, static_cast<std::size_t>(Object2DSlot::kCount)> g_managers{};

template <typename Call>
void ForEachManager(Call call) {
  for (Object2DManager* manager : g_managers) {
    if (manager) call(*manager);
  }
}

std::int32_t ToDevicePixel(std::int32_t value, float scale) {
  const float pixel = static_cast<float>(value) * scale - 0.5f;
  if (!(pixel > -2147483648.0f)) return INT32_MIN;
  if (pixel >= 2147483648.0f) return INT32_MAX;
  return static_cast<std::int32_t>(pixel);
}

}  // namespace

void JoinObject2DBroadcast(Object2DSlot slot, Object2DManager* manager) {
  const auto index = static_cast<std::size_t>(slot);
  if (index < g_managers.size()) g_managers[index] = manager;
}

void LeaveObject2DBroadcast(Object2DSlot slot) { JoinObject2DBroadcast(slot, nullptr); }

void BroadcastScissoring(bool enable, const PixelRect& rectangle) {
  ForEachManager([&](Object2DManager& manager) { manager.OnScissoring(enable, rectangle); });
}

void BroadcastPerspective(bool enable, float centreX, float centreY, float strength) {
  ForEachManager([&](Object2DManager& manager) { manager.OnPerspective(enable, centreX, centreY, strength); });
}

void BroadcastZoom(bool enable, float centreX, float centreY, float factor) {
  ForEachManager([&](Object2DManager& manager) { manager.OnZoom(enable, centreX, centreY, factor); });
}

void ScissorToDevicePixels(PixelRect& rectangle, float scaleX, float scaleY) {
  rectangle.left = ToDevicePixel(rectangle.left, scaleX);
  rectangle.top = ToDevicePixel(rectangle.top, scaleY);
  rectangle.right = ToDevicePixel(rectangle.right, scaleX);
  rectangle.bottom = ToDevicePixel(rectangle.bottom, scaleY);
}

}  // namespace vela
