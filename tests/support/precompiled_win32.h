// The precompiled headers of the test suites that call Win32 and Direct3D 9 themselves.
#pragma once

#include <windows.h>

#include <d3d9.h>

#include "precompiled.h"
