// BeginScene, EndScene, Refresh, Clear, ColorFill, SetBlendingType, SetScissoring,
// SetPerspective: the frame and the drawing state, forwarded to Vela3D.
#include <windows.h>

#include <cstring>

#include "graphics/vela3d.h"
#include "plugin/export_call.h"

namespace {

// The host passes x, y, width and height; the four words become left, top, right and bottom
// in place (x added to the width, y to the height), as the operations read them.
RECT ConvertRectangleInPlace(std::byte* words) {
  std::int32_t value[4];
  std::memcpy(value, words, sizeof value);
  value[2] = static_cast<std::int32_t>(static_cast<std::uint32_t>(value[2]) + static_cast<std::uint32_t>(value[0]));
  value[3] = static_cast<std::int32_t>(static_cast<std::uint32_t>(value[3]) + static_cast<std::uint32_t>(value[1]));
  std::memcpy(words, value, sizeof value);
  return RECT{value[0], value[1], value[2], value[3]};
}

}  // namespace

VELA_EXPORT_BODY(BeginScene)() -> bool { return Vela3D::BeginScene(); }

VELA_EXPORT_BODY(EndScene)() -> void { Vela3D::EndScene(); }

VELA_EXPORT_BODY(Refresh)() -> void { Vela3D::Refresh(nullptr); }

VELA_EXPORT_BODY(Clear)(std::int32_t colour) -> void {
  Vela3D::Clear(D3DCLEAR_TARGET, static_cast<D3DCOLOR>(colour), 1.0f, 0, nullptr);
}

VELA_EXPORT_BODY(ColorFill)(std::byte* rectangleWords, std::int32_t colour) -> void {
  const RECT rectangle = ConvertRectangleInPlace(rectangleWords);
  Vela3D::FillRect(&rectangle, static_cast<D3DCOLOR>(colour));
}

VELA_EXPORT_BODY(SetBlendingType)(std::int32_t type) -> void {
  Vela3D::SetBlendingType(static_cast<std::uint32_t>(type));
}

VELA_EXPORT_BODY(SetScissoring)(bool enable, std::byte* rectangleWords) -> void {
  RECT rectangle = ConvertRectangleInPlace(rectangleWords);
  // The operation converts to back-buffer pixels in place; the host's bytes follow it.
  Vela3D::SetScissoring(enable, &rectangle);
  const std::int32_t converted[4] = {rectangle.left, rectangle.top, rectangle.right, rectangle.bottom};
  std::memcpy(rectangleWords, converted, sizeof converted);
}

VELA_EXPORT_BODY(SetPerspective)(bool enable, float centreX, float centreY, float strength) -> void {
  Vela3D::SetPerspective(enable, centreX, centreY, strength);
}
