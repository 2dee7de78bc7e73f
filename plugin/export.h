// The shape of every exported function: the host's stack top and variable base in, as 32-bit
// words, and the signed number of bytes the host pops out. Exported by undecorated name through
// velaplugin.def, with the caller cleaning the stack.
#pragma once

#include <cstdint>

#include "plugin/host_address.h"

#if defined(_WIN32) && !defined(_WIN64)
#define VELA_CDECL __cdecl
#else
#define VELA_CDECL
#endif

#define VELA_EXPORT extern "C"

namespace vela::plugin {
using ExportFunction = std::int32_t(VELA_CDECL*)(HostWord top, HostWord base);
}  // namespace vela::plugin
