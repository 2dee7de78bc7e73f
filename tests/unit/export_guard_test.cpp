// An exception thrown inside an export's body stops at CallExport: the host gets the export's
// failure value in the result's place, 0 in every variable a HostRef names, the row's byte
// count, and no other byte of its stack or variables changes.
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/script_host.h"
#include "plugin/export_call.h"

namespace {

using namespace vela::plugin;
using vela::host::ScriptHost;

// A test export: its row of argument kinds, then the function that the body below defines.
#define TEST_EXPORT(name, ...)                                                                    \
  struct name##Row : ExportRow<__VA_ARGS__> { static constexpr const char* kName = "Test" #name; }; \
  std::int32_t name(HostWord top, HostWord base)

// A creating export: a handle variable, a name and a flag in, "created" out. The body writes
// its variable and then runs out of memory.
TEST_EXPORT(Create, kind::Bool, kind::Ref, kind::String, kind::Int) {
  return CallExport<CreateRow>(top, base, [](HostVariable handle, HostStringView, std::int32_t) -> bool {
    handle.Write(std::uint32_t{0x1234});
    throw std::bad_alloc();
  });
}

// Rewrites its rectangle in place before it throws something that is no std::exception.
TEST_EXPORT(Measure, kind::Float, kind::Rect, kind::Float) {
  return CallExport<MeasureRow>(top, base, [](std::byte* rect, float) -> float {
    std::memset(rect, 0, 16);
    throw 7;
  });
}

TEST_EXPORT(Count, kind::Int, kind::Int) {
  return CallExport<CountRow>(top, base, [](std::int32_t) -> std::int32_t { throw std::runtime_error("no count"); });
}

TEST_EXPORT(Poll, kind::Bool) {
  return CallExport<PollRow>(top, base, []() -> bool { throw std::logic_error("no poll"); });
}

TEST_EXPORT(Draw, kind::None, kind::Int, kind::Array) {
  return CallExport<DrawRow>(top, base, [](std::int32_t, std::byte*) { throw std::bad_alloc(); });
}

constexpr std::uint32_t kWatchedBytes = 64;
constexpr std::uint32_t kGuardBytes = 8;
constexpr int kHandleVariable = 3;

std::byte PatternByte(std::uint32_t index) { return static_cast<std::byte>(0xA0 + index); }
std::int32_t VariablePattern(int variable) { return 0x3C000000 | variable; }

class ExportGuard : public ::testing::Test {
 protected:
  // Fills the stack's first bytes and every variable with a pattern and lays a guard of pattern
  // bytes below the arguments; answers where the arguments start.
  HostWord Prepare() {
    const HostWord bottom = host.Top();
    for (std::uint32_t i = 0; i < kWatchedBytes; ++i) host.Pointer(bottom)[i] = PatternByte(i);
    for (int variable = 0; variable < ScriptHost::kVariableCount; ++variable) {
      host.SetVariable(variable, VariablePattern(variable));
    }
    host.PushBytes(host.Pointer(bottom), kGuardBytes);
    return host.Top();
  }

  // Keeps the watched bytes as they are with the arguments laid, just before the call.
  void Remember(HostWord block) {
    const std::byte* bottom = host.Pointer(block - kGuardBytes);
    before_.assign(bottom, bottom + kWatchedBytes);
  }

  // Offsets, from the arguments' start, of the watched bytes that the call changed.
  std::vector<std::int32_t> ChangedOffsets(HostWord block) const {
    const std::byte* bottom = host.Pointer(block - kGuardBytes);
    std::vector<std::int32_t> changed;
    for (std::uint32_t i = 0; i < kWatchedBytes; ++i) {
      if (bottom[i] != before_[i]) changed.push_back(static_cast<std::int32_t>(i) - static_cast<std::int32_t>(kGuardBytes));
    }
    return changed;
  }

  std::vector<int> ChangedVariables() const {
    std::vector<int> changed;
    for (int variable = 0; variable < ScriptHost::kVariableCount; ++variable) {
      if (host.Variable(variable) != VariablePattern(variable)) changed.push_back(variable);
    }
    return changed;
  }

  ScriptHost host;

 private:
  std::vector<std::byte> before_;
};

TEST_F(ExportGuard, CreatingExportWritesHandleZeroAndAnswersFalse) {
  const HostWord block = Prepare();
  host.PushWord(host.RelativeRef(kHandleVariable)).PushString(host.MakeString(u"picture.png")).PushInt(1);
  Remember(block);
  EXPECT_EQ(host.Call(Create), 19);
  EXPECT_EQ(host.Variable(kHandleVariable), 0) << "the handle the body wrote is taken back";
  EXPECT_EQ(ChangedVariables(), std::vector<int>{kHandleVariable});
  EXPECT_EQ(ChangedOffsets(block), std::vector<std::int32_t>{0}) << "only the result byte";
  EXPECT_FALSE(host.PopBool());
}

TEST_F(ExportGuard, FloatResultIsZeroAfterAnExceptionOfAnyType) {
  std::uint8_t rect[16];
  for (std::uint8_t i = 0; i < 16; ++i) rect[i] = 0x11 + i;  // no zero byte: every one is seen cleared
  const HostWord block = Prepare();
  host.PushBytes(rect, sizeof rect).PushFloat(5.0f);
  Remember(block);
  EXPECT_EQ(host.Call(Measure), 16);
  // The body's in-place rewrite stays; the result's four bytes lie over its first word.
  EXPECT_EQ(ChangedOffsets(block), (std::vector<std::int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
  EXPECT_EQ(host.PopFloat(), 0.0f);
  EXPECT_TRUE(ChangedVariables().empty());
}

TEST_F(ExportGuard, IntBooleanAndNoResultsAnswerTheirFailureInPlace) {
  const std::int32_t elements[2] = {1, 2};
  const HostWord array = host.MakeArray(elements, sizeof elements);
  HostWord block = Prepare();
  host.PushWord(0x12345678);
  Remember(block);
  EXPECT_EQ(host.Call(Count), 0);
  EXPECT_EQ(ChangedOffsets(block), (std::vector<std::int32_t>{0, 1, 2, 3}));
  EXPECT_EQ(host.PopInt(), 0);

  block = Prepare();
  Remember(block);
  EXPECT_EQ(host.Call(Poll), -1);
  EXPECT_EQ(ChangedOffsets(block), std::vector<std::int32_t>{0}) << "false at the top";
  EXPECT_FALSE(host.PopBool());

  block = Prepare();
  host.PushWord(0x12345678).PushArray(array);
  Remember(block);
  EXPECT_EQ(host.Call(Draw), 16);
  EXPECT_TRUE(ChangedOffsets(block).empty());
  EXPECT_TRUE(ChangedVariables().empty());
}

// The host may hold one handle twice (the same file loaded again): it stays held until both are
// given back, and a third give-back does nothing.
TEST(HandleRegistry, AHandleHeldTwiceStaysUntilBothAreGivenBack) {
  Handles().Forget();
  Handles().Add(0x00B20020, kTextures);
  Handles().Add(0x00B20020, kTextures);
  EXPECT_TRUE(Handles().GiveBack(0x00B20020));
  EXPECT_TRUE(Handles().GiveBack(0x00B20020));
  EXPECT_FALSE(Handles().GiveBack(0x00B20020));
}

}  // namespace
