// BeginScene, EndScene, Refresh, Clear, ColorFill, SetBlendingType, SetScissoring,
// SetPerspective: the frame and the drawing state, forwarded to Vela3D.
#include <windows.h>

#include <cstring>

#include "graphics/vela3d.h"
#include "plugin/argument_block.h"
#include "plugin/export.h"
#include "plugin/exports_device.h"

using vela::plugin::ArgumentReader;
using vela::plugin::HostWord;

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

VELA_EXPORT std::int32_t VELA_CDECL BeginScene(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 0);
  return args.ReturnBool(vela::Vela3D::BeginScene());
}

VELA_EXPORT std::int32_t VELA_CDECL EndScene(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 0);
  vela::Vela3D::EndScene();
  return args.Return();
}

VELA_EXPORT std::int32_t VELA_CDECL Refresh(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 0);
  vela::Vela3D::Refresh(nullptr);
  return args.Return();
}

VELA_EXPORT std::int32_t VELA_CDECL Clear(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 4);
  const auto colour = static_cast<D3DCOLOR>(args.Int());
  vela::Vela3D::Clear(D3DCLEAR_TARGET, colour, 1.0f, 0, nullptr);
  return args.Return();
}

VELA_EXPORT std::int32_t VELA_CDECL ColorFill(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 20);
  const RECT rectangle = ConvertRectangleInPlace(args.InPlace(16));
  const auto colour = static_cast<D3DCOLOR>(args.Int());
  vela::Vela3D::FillRect(&rectangle, colour);
  return args.Return();
}

VELA_EXPORT std::int32_t VELA_CDECL SetBlendingType(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 4);
  vela::Vela3D::SetBlendingType(static_cast<std::uint32_t>(args.Int()));
  return args.Return();
}

VELA_EXPORT std::int32_t VELA_CDECL SetScissoring(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 17);
  const bool enable = args.Bool();
  std::byte* words = args.InPlace(16);
  RECT rectangle = ConvertRectangleInPlace(words);
  // The operation converts to back-buffer pixels in place; the host's bytes follow it.
  vela::Vela3D::SetScissoring(enable, &rectangle);
  const std::int32_t converted[4] = {rectangle.left, rectangle.top, rectangle.right, rectangle.bottom};
  std::memcpy(words, converted, sizeof converted);
  return args.Return();
}

VELA_EXPORT std::int32_t VELA_CDECL SetPerspective(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 13);
  const bool enable = args.Bool();
  const float centreX = args.Float();
  const float centreY = args.Float();
  const float strength = args.Float();
  vela::Vela3D::SetPerspective(enable, centreX, centreY, strength);
  return args.Return();
}
