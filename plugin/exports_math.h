// The math exports. Declared here so that the native tests can call them directly.
#pragma once

#include "plugin/export.h"

VELA_EXPORT std::int32_t VELA_CDECL MathSin(vela::plugin::HostWord top, vela::plugin::HostWord base);
VELA_EXPORT std::int32_t VELA_CDECL MathCos(vela::plugin::HostWord top, vela::plugin::HostWord base);
VELA_EXPORT std::int32_t VELA_CDECL MathAtan(vela::plugin::HostWord top, vela::plugin::HostWord base);
VELA_EXPORT std::int32_t VELA_CDECL MathRand(vela::plugin::HostWord top, vela::plugin::HostWord base);
VELA_EXPORT std::int32_t VELA_CDECL MathRandF(vela::plugin::HostWord top, vela::plugin::HostWord base);
VELA_EXPORT std::int32_t VELA_CDECL MathRandSeed(vela::plugin::HostWord top, vela::plugin::HostWord base);
