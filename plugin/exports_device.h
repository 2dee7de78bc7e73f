// The device exports: scenes, clears, presentation, blending, scissoring and perspective.
// Declared here so that tests can call them directly, below the DLL boundary.
#pragma once

#include "plugin/export.h"

#define VELA_DECLARE_EXPORT(name) \
  VELA_EXPORT std::int32_t VELA_CDECL name(vela::plugin::HostWord top, vela::plugin::HostWord base)

VELA_DECLARE_EXPORT(BeginScene);
VELA_DECLARE_EXPORT(EndScene);
VELA_DECLARE_EXPORT(Refresh);
VELA_DECLARE_EXPORT(Clear);
VELA_DECLARE_EXPORT(ColorFill);
VELA_DECLARE_EXPORT(SetBlendingType);
VELA_DECLARE_EXPORT(SetScissoring);
VELA_DECLARE_EXPORT(SetPerspective);

#undef VELA_DECLARE_EXPORT
