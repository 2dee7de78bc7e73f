// MathSin, MathCos, MathAtan, MathRand, MathRandF, MathRandSeed.
#include "plugin/exports_math.h"

#include "math/vela_math.h"
#include "plugin/argument_block.h"

using vela::plugin::ArgumentReader;
using vela::plugin::HostWord;

VELA_EXPORT std::int32_t VELA_CDECL MathSin(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 4);
  return args.ReturnFloat(vela::math::Sin(args.Int()));
}

VELA_EXPORT std::int32_t VELA_CDECL MathCos(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 4);
  return args.ReturnFloat(vela::math::Cos(args.Int()));
}

VELA_EXPORT std::int32_t VELA_CDECL MathAtan(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 8);
  const std::int32_t x = args.Int();
  const std::int32_t y = args.Int();
  return args.ReturnInt(vela::math::Atan(x, y));
}

VELA_EXPORT std::int32_t VELA_CDECL MathRand(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 8);
  const std::int32_t lower = args.Int();
  const std::int32_t upper = args.Int();
  return args.ReturnInt(vela::math::Rand(lower, upper));
}

VELA_EXPORT std::int32_t VELA_CDECL MathRandF(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 8);
  const float lower = args.Float();
  const float upper = args.Float();
  return args.ReturnFloat(vela::math::RandF(lower, upper));
}

VELA_EXPORT std::int32_t VELA_CDECL MathRandSeed(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 4);
  vela::math::Seed(static_cast<std::uint32_t>(args.Int()));
  return args.Return();
}
