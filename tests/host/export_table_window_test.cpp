// Every export of the real DLL called through the host harness, one row each, its arguments laid
// between pattern bytes: the byte counts are plugin/export_table.h's, and only the result, the
// bytes rewritten in place and the HostRef's own variable may change. Run on handles 0 and
// missing files, then on live objects, and without an application.
#include <windows.h>

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "plugin/export_shapes.h"
#include "tests/host/app_frame_support.h"

namespace {

using namespace vela::test;
using vela::host::ScriptHost;
using vela::plugin::ExportShape;
using vela::plugin::HostWord;
using vela::plugin::kExportShapes;

// Host variables the HostRef exports write; every other variable must keep its pattern.
constexpr int kNoVariable = -1;
constexpr int kTextureVariable = 17;
constexpr int kSurfaceVariable = 18;
constexpr int kSpriteVariable = 19;
constexpr int kKeyVariable = 20;

// What one pass of the sweep hands the exports, and the handles the loaders wrote.
struct Sweep {
  ScriptHost& host;
  std::u16string title;
  std::u16string pictureFile;  // exists beside the executable
  bool application = false;    // Init has run and End has not
  bool loadable = false;       // the loaders get the existing file, the sprite room
  bool absoluteRefs = false;
  HostWord texture = 0, surface = 0, sprite = 0;
  // Host objects made for the call in hand: (address, bytes) of heads and data.
  std::vector<std::pair<HostWord, std::uint32_t>> objects;

  HostWord Ref(int variable) const { return absoluteRefs ? host.AbsoluteRef(variable) : host.RelativeRef(variable); }
  std::u16string FileName() const { return loadable ? pictureFile : u"export_table_no_such_file.png"; }
  bool ObjectsAreMade() const { return application && loadable; }

  HostWord String(std::u16string_view text) { return Watch(host.MakeString(text), std::uint32_t(text.size() * 2)); }
  HostWord Array(const void* elements, std::uint32_t bytes) { return Watch(host.MakeArray(elements, bytes), bytes); }

 private:
  HostWord Watch(HostWord object, std::uint32_t dataBytes) {
    HostWord data = 0;
    std::memcpy(&data, host.Pointer(object), 4);
    objects.push_back({object, 8});
    objects.push_back({data, dataBytes});
    return object;
  }
};

// The argument block as the host finds it after the call; the result lies at its start.
struct Answer {
  const std::byte* block;
  std::uint8_t Byte() const { return static_cast<std::uint8_t>(block[0]); }
  std::int32_t WordAt(std::uint32_t offset) const {
    std::int32_t word;
    std::memcpy(&word, block + offset, 4);
    return word;
  }
  float Float() const { return std::bit_cast<float>(WordAt(0)); }
};

// A handle written by a loader or creator: a live object's word below 2 GiB, or 0.
HostWord ExpectHandle(const Sweep& sweep, int variable) {
  const auto handle = static_cast<HostWord>(sweep.host.Variable(variable));
  EXPECT_TRUE(sweep.ObjectsAreMade() ? handle != 0 && handle < 0x80000000u : handle == 0) << std::hex << handle;
  return handle;
}

// How the sweep calls one export; its shape comes from the export table.
struct ExportRow {
  const char* name;
  void (*lay)(Sweep&);
  void (*check)(Sweep&, const Answer&);
  int variable = kNoVariable;  // the host variable its HostRef names
  // Argument bytes the export rewrites in place besides its result: offset and count.
  std::uint32_t rewrittenOffset = 0;
  std::uint32_t rewrittenBytes = 0;
};

void NoCheck(Sweep&, const Answer&) {}
void LayNothing(Sweep&) {}
void LaySprite(Sweep& s) { s.host.PushWord(s.sprite); }

const ExportRow kInit = {
    "Init",
    [](Sweep& s) {
      // The title in the middle of a longer host string, by byte offset and length.
      s.host.PushString(s.String(u"[[" + s.title + u"]]"), 4, static_cast<std::int32_t>(s.title.size() * 2));
      s.host.PushInt(0).PushInt(320).PushInt(240);
    },
    [](Sweep& s, const Answer& a) {
      EXPECT_EQ(a.Byte(), 1);
      const auto* title = reinterpret_cast<const wchar_t*>(s.title.c_str());
      EXPECT_NE(FindWindowW(title, title), nullptr) << "the window is named by the title's bytes only";
    }};

const ExportRow kEnd = {"End", LayNothing, NoCheck};

// The exports of one frame, in the order a host calls them; the releases give back what the
// loaders made.
const std::vector<ExportRow>& FrameRows() {
  static const std::vector<ExportRow> rows = {
      {"WaitMsg", LayNothing, [](Sweep& s, const Answer& a) { EXPECT_TRUE(!s.application || a.Byte() == 1); }},
      {"BeginScene", LayNothing, [](Sweep& s, const Answer& a) { EXPECT_EQ(a.Byte(), s.application ? 1 : 0); }},
      {"Clear", [](Sweep& s) { s.host.PushInt(static_cast<std::int32_t>(0xFF203040)); }, NoCheck},
      {"ColorFill",
       [](Sweep& s) { s.host.PushInt(10).PushInt(20).PushInt(30).PushInt(40).PushInt(std::int32_t(kRed)); },
       [](Sweep&, const Answer& a) { EXPECT_EQ(std::pair(a.WordAt(8), a.WordAt(12)), std::pair(40, 60)); },
       kNoVariable, 8, 8},
      {"SetBlendingType", [](Sweep& s) { s.host.PushInt(1); }, NoCheck},
      {"SetScissoring",
       [](Sweep& s) { s.host.PushBool(s.ObjectsAreMade()).PushInt(10).PushInt(20).PushInt(30).PushInt(40); },
       [](Sweep& s, const Answer& a) {
         // On: back-buffer pixels (scale 1 here) less a half, truncated. Off: only converted.
         const std::int32_t less = s.ObjectsAreMade() ? 1 : 0;
         EXPECT_EQ(a.WordAt(1), 10 - less);
         EXPECT_EQ(a.WordAt(5), 20 - less);
         EXPECT_EQ(a.WordAt(9), 40 - less);
         EXPECT_EQ(a.WordAt(13), 60 - less);
       },
       kNoVariable, 1, 16},
      {"SetPerspective", [](Sweep& s) { s.host.PushBool(true).PushFloat(160).PushFloat(120).PushFloat(1); }, NoCheck},
      {"SetOffsetUV", [](Sweep& s) { s.host.PushFloat(0.5f); }, NoCheck},
      {"TextureLoad",
       [](Sweep& s) {
         const std::u16string name = s.FileName();
         s.host.PushWord(s.Ref(kTextureVariable));
         s.host.PushString(s.String(u"<<" + name + u">>"), 4, static_cast<std::int32_t>(name.size() * 2));
       },
       [](Sweep& s, const Answer&) { s.texture = ExpectHandle(s, kTextureVariable); }, kTextureVariable},
      {"SurfaceLoad", [](Sweep& s) { s.host.PushWord(s.Ref(kSurfaceVariable)).PushString(s.String(s.FileName())); },
       [](Sweep& s, const Answer&) { s.surface = ExpectHandle(s, kSurfaceVariable); }, kSurfaceVariable},
      {"SpriteCreate", [](Sweep& s) { s.host.PushWord(s.Ref(kSpriteVariable)).PushInt(s.loadable ? 600 : 0); },
       [](Sweep& s, const Answer&) { s.sprite = ExpectHandle(s, kSpriteVariable); }, kSpriteVariable},
      {"SpriteAttatchTexture", [](Sweep& s) { s.host.PushWord(s.sprite).PushWord(s.texture); }, NoCheck},
      {"SpriteResetBuffer", LaySprite, NoCheck},
      {"SpriteDrawSquare",
       [](Sweep& s) { s.host.PushWord(s.sprite).PushRect(40, 40, 64, 64).PushFloat(100).PushRect(0, 0, 64, 64); },
       NoCheck},
      {"SpriteDrawList",
       [](Sweep& s) {
         const float x[] = {20, 160, 300}, y[] = {200, 150, 200}, z[] = {10, 10, 10}, w[] = {8, 8, 8};
         const std::int32_t angle[] = {0, 4096, 0};
         const std::uint32_t colour[] = {kWhite, kWhite, kWhite};
         s.host.PushWord(s.sprite);
         s.host.PushArray(s.Array(x, sizeof x)).PushArray(s.Array(y, sizeof y)).PushArray(s.Array(z, sizeof z));
         s.host.PushArray(s.Array(w, sizeof w)).PushArray(s.Array(angle, sizeof angle));
         s.host.PushArray(s.Array(colour, sizeof colour)).PushInt(3).PushRect(0, 0, 64, 64);
       },
       NoCheck},
      {"SpriteUpdateBuffer", LaySprite, NoCheck},
      {"SpriteRendering", LaySprite, NoCheck},
      {"TextureDraw",
       [](Sweep& s) { s.host.PushWord(s.texture).PushRect(100, 40, 64, 64).PushRect(0, 0, 64, 64); }, NoCheck},
      {"TextureDrawRotate",
       [](Sweep& s) { s.host.PushWord(s.texture).PushRect(180, 40, 64, 64).PushRect(0, 0, 64, 64).PushInt(8192); },
       NoCheck},
      {"SurfaceCopyToBG", [](Sweep& s) { s.host.PushWord(s.surface); }, NoCheck},
      {"EndScene", LayNothing, NoCheck},
      {"FontBegin", [](Sweep& s) { s.host.PushString(s.String(u"Courier New")).PushInt(16); }, NoCheck},
      {"FontDraw",
       [](Sweep& s) { s.host.PushInt(8).PushInt(8).PushInt(0xFFFFFF).PushInt(0).PushString(s.String(u"Vela 100%")); },
       NoCheck},
      {"FontEnd", LayNothing, NoCheck},
      {"Refresh", LayNothing, NoCheck},
      // No keyboard service runs: every key reads released, the buffer is empty.
      {"GetKeyData", [](Sweep& s) { s.host.PushInt(0x7A7B7C1E); },
       [](Sweep&, const Answer& a) { EXPECT_EQ(a.Byte(), 0); }},
      {"KeyBufferLoop", [](Sweep& s) { s.host.PushWord(s.Ref(kKeyVariable)); },
       [](Sweep& s, const Answer& a) { EXPECT_EQ(a.Byte() | s.host.Variable(kKeyVariable), 0); },
       kKeyVariable},
      {"MathSin", [](Sweep& s) { s.host.PushInt(16384); }, [](Sweep&, const Answer& a) { EXPECT_EQ(a.Float(), 1.0f); }},
      {"MathCos", [](Sweep& s) { s.host.PushInt(0); }, [](Sweep&, const Answer& a) { EXPECT_EQ(a.Float(), 1.0f); }},
      {"MathAtan", [](Sweep& s) { s.host.PushInt(0).PushInt(1); },
       [](Sweep&, const Answer& a) { EXPECT_EQ(a.WordAt(0), 16384); }},
      {"MathRandSeed", [](Sweep& s) { s.host.PushInt(20261206); }, NoCheck},
      // After that seed neither draw lands on its lower bound, so the result is seen written.
      {"MathRand", [](Sweep& s) { s.host.PushInt(1000).PushInt(1999); },
       [](Sweep&, const Answer& a) { EXPECT_TRUE(a.WordAt(0) > 1000 && a.WordAt(0) <= 1999) << a.WordAt(0); }},
      {"MathRandF", [](Sweep& s) { s.host.PushFloat(10).PushFloat(20); },
       [](Sweep&, const Answer& a) { EXPECT_TRUE(a.Float() > 10 && a.Float() <= 20) << a.Float(); }},
      {"TextureRelease", [](Sweep& s) { s.host.PushWord(s.texture); }, NoCheck},
      {"SurfaceRelease", [](Sweep& s) { s.host.PushWord(s.surface); }, NoCheck},
      {"SpriteRelease", LaySprite, NoCheck},
  };
  return rows;
}

// Bytes of the host's stack and variables before a call: never 0 or 1, so that a boolean
// result shows wherever it is written.
std::byte PatternByte(std::size_t index) { return static_cast<std::byte>(0xC0 + index % 61); }
std::int32_t VariablePattern(int variable) { return 0x5A000000 | (variable * 0x10101); }

// The stack from its bottom: a guard of the host's own bytes, the block, and what lies above.
constexpr std::uint32_t kGuardBytes = 16;
constexpr std::uint32_t kWatchedBytes = 256;

std::vector<std::byte> Bytes(const ScriptHost& host, HostWord address, std::uint32_t count) {
  const std::byte* at = host.Pointer(address);
  return {at, at + count};
}

// Lays the row's arguments between pattern bytes, calls the export and checks what it changed.
void CallRow(const ExportRow& row, Sweep& sweep, vela::plugin::ExportFunction function) {
  SCOPED_TRACE(row.name);
  ASSERT_NE(function, nullptr);
  const ExportShape* shape = vela::plugin::FindExportShape(row.name);
  ASSERT_NE(shape, nullptr) << "not in the export table";
  const std::uint32_t resultBytes = shape->argumentBytes - static_cast<std::uint32_t>(shape->returnedBytes);
  ScriptHost& host = sweep.host;
  host.ClearStack();
  const HostWord bottom = host.Top();
  for (std::uint32_t i = 0; i < kWatchedBytes; ++i) host.Pointer(bottom)[i] = PatternByte(i);
  for (int v = 0; v < ScriptHost::kVariableCount; ++v) host.SetVariable(v, VariablePattern(v));
  host.PushBytes(host.Pointer(bottom), kGuardBytes);
  const HostWord block = host.Top();
  sweep.objects.clear();
  row.lay(sweep);
  ASSERT_EQ(host.Top() - block, shape->argumentBytes) << "the sweep row lays what the export table says";

  const std::vector<std::byte> stackBefore = Bytes(host, bottom, kWatchedBytes);
  std::vector<std::vector<std::byte>> objectsBefore;
  for (const auto& [address, size] : sweep.objects) objectsBefore.push_back(Bytes(host, address, size));

  EXPECT_EQ(host.Call(function), shape->returnedBytes);
  EXPECT_EQ(host.Top(), block + shape->argumentBytes - static_cast<HostWord>(shape->returnedBytes));

  // Only the result and the in-place rewrite may differ; offsets count from the block's start.
  const std::vector<std::byte> stackAfter = Bytes(host, bottom, kWatchedBytes);
  const std::uint32_t start = block - bottom;
  std::ostringstream changed;
  for (std::uint32_t i = 0; i < kWatchedBytes; ++i) {
    if (stackAfter[i] == stackBefore[i]) continue;
    const bool result = i >= start && i < start + resultBytes;
    const bool rewritten = i >= start + row.rewrittenOffset && i < start + row.rewrittenOffset + row.rewrittenBytes;
    if (!result && !rewritten) changed << ' ' << static_cast<std::int64_t>(i) - start;
  }
  EXPECT_EQ(changed.str(), "") << "stack bytes changed at these offsets from the block's start";

  for (int v = 0; v < ScriptHost::kVariableCount; ++v) {
    EXPECT_EQ(host.Variable(v) != VariablePattern(v), v == row.variable) << "host variable " << v;
  }
  for (std::size_t object = 0; object < sweep.objects.size(); ++object) {
    const auto& [address, size] = sweep.objects[object];
    EXPECT_TRUE(Bytes(host, address, size) == objectsBefore[object])
        << "host object bytes at 0x" << std::hex << address;
  }

  const Answer answer{host.Pointer(block)};
  EXPECT_TRUE(shape->result != vela::plugin::Kind::kBool || answer.Byte() <= 1) << "a boolean is 0 or 1";
  row.check(sweep, answer);
}

void CallRow(const ExportRow& row, Sweep& sweep, const vela::host::PluginModule& plugin) {
  CallRow(row, sweep, plugin.Find(row.name));
}

TEST(ExportTable, SweepHasOneRowPerExportOfTheTableAndTheDllExportsThemAll) {
  vela::host::PluginModule plugin;
  ASSERT_TRUE(plugin.Loaded());
  std::multiset<std::string> sweepNames = {kInit.name, kEnd.name};
  for (const ExportRow& row : FrameRows()) sweepNames.insert(row.name);
  std::set<std::string> tableNames;
  for (const ExportShape& shape : kExportShapes) {
    const std::string name(shape.name);
    tableNames.insert(name);
    EXPECT_EQ(sweepNames.count(name), 1u) << name << ": sweep rows";
    EXPECT_NE(plugin.Find(name.c_str()), nullptr) << name << " is not exported";
    // An alias is its function under another name.
    const std::string function(shape.function);
    EXPECT_EQ(plugin.Find(name.c_str()), plugin.Find(function.c_str())) << name;
  }
  for (const std::string& name : sweepNames) EXPECT_TRUE(tableNames.contains(name)) << name << " is in no table row";
}

class ExportTableWindow : public PluginWindowTest {
 protected:
  ExportTableWindow() : PluginWindowTest(kTitle) {}

  void TearDown() override {
    if (started_) EndApplication();
    PluginWindowTest::TearDown();
  }

  // As the host ends: the window closed, WaitMsg until it answers false, then End.
  void EndApplication() {
    if (HWND window = frame.Window()) PostMessageW(window, WM_CLOSE, 0, 0);
    for (int frameCount = 0; frameCount < 100; ++frameCount) {
      host.ClearStack();
      if (Call("WaitMsg") != -1 || !host.PopBool()) break;
    }
    sweep.application = false;
    CallRow(kEnd, sweep, plugin);
    started_ = false;
  }

  static constexpr const char16_t* kTitle = u"Vela export table test";
  FileBesideExecutable picture{u"export_table_picture.png", QuadrantPng(64, 64)};
  Sweep sweep{host, kTitle, picture.Name()};
  bool started_ = false;
};

TEST_F(ExportTableWindow, EveryExportInOneApplicationOnHandlesZeroThenOnLiveObjects) {
  CallRow(kInit, sweep, plugin);
  started_ = true;
  sweep.application = true;
  ASSERT_NE(frame.Window(), nullptr);

  // Missing files, a sprite without room and relative HostRefs: the handles are all 0.
  for (const ExportRow& row : FrameRows()) CallRow(row, sweep, plugin);
  EXPECT_EQ(sweep.texture, 0u);

  // The file beside the executable, a sprite with room and absolute HostRefs.
  sweep.loadable = true;
  sweep.absoluteRefs = true;
  for (const ExportRow& row : FrameRows()) CallRow(row, sweep, plugin);
  EXPECT_NE(sweep.sprite, 0u);

  EndApplication();
  EXPECT_EQ(frame.Window(), nullptr);
}

TEST_F(ExportTableWindow, WithoutAnApplicationLoadersWriteZeroAndBeginSceneAnswersFalse) {
  // Between applications (or before the first) there is no device and no manager: an existing
  // file still loads as 0, and nothing shows a box.
  sweep.loadable = true;
  for (const ExportRow& row : FrameRows()) CallRow(row, sweep, plugin);
  CallRow(kEnd, sweep, plugin);
  EXPECT_EQ(frame.Window(), nullptr);
}

}  // namespace
