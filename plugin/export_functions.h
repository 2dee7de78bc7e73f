// The exported functions, declared from export_table.h, so that tests can also call them
// directly, below the DLL boundary. An alias is no function of its own: velaplugin.def exports
// its target once more under the alias's name.
#pragma once

#include <cstdint>

#include "plugin/export.h"
#include "plugin/export_table.h"

#define VELA_DECLARE_EXPORT_FUNCTION(name, ...) \
  VELA_EXPORT std::int32_t VELA_CDECL name(vela::plugin::HostWord top, vela::plugin::HostWord base);
#define VELA_NO_FUNCTION_FOR_ALIAS(name, function)
VELA_EXPORT_TABLE(VELA_DECLARE_EXPORT_FUNCTION, VELA_NO_FUNCTION_FOR_ALIAS)
#undef VELA_NO_FUNCTION_FOR_ALIAS
#undef VELA_DECLARE_EXPORT_FUNCTION
