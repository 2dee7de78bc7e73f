// Headers that nearly every test file includes, compiled once per build: parsing GoogleTest and
// the standard library took most of each test file's compile time.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>
