// Format kinds against given adapter lists, format names, the error texts and texture sides.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/error_text.h"
#include "graphics/format_kind.h"
#include "image/texture_sizing.h"

namespace vela {
namespace {

using namespace format;

struct Adapter {
  std::vector<FormatCode> texture, renderTarget, depth;
  AcceptedFormats View(bool windowed = true) const { return {texture, renderTarget, depth, kX8R8G8B8, kR5G6B5, windowed}; }
};

FormatCode Resolve(const Adapter& adapter, std::int32_t kind, FormatCode given = kUnknown) {
  return ResolveFormatKind(kind, given, adapter.View());
}

TEST(FormatKind, TexturePrefersUncompressedAndCompressedWalksDxtFirst) {
  const Adapter full{{kR5G6B5, kA1R5G5B5, kA4R4G4B4, kA8R8G8B8, kDXT5, kDXT3, kDXT1}, {}, {}};
  EXPECT_EQ(Resolve(full, FORMAT_TEXTURE), kA8R8G8B8) << "even with DXT accepted";
  // The compressed kind walks DXT5, DXT3, DXT1, A8R8G8B8, then the 16-bit formats.
  const std::vector<FormatCode> steps = {kDXT5, kDXT3, kDXT1, kA8R8G8B8, kA4R4G4B4, kA1R5G5B5, kA8R3G3B2};
  for (std::size_t first = 0; first < steps.size(); ++first) {
    const Adapter adapter{{steps.begin() + static_cast<std::ptrdiff_t>(first), steps.end()}, {}, {}};
    EXPECT_EQ(Resolve(adapter, FORMAT_TEXTURE_COMPRESSED), steps[first]) << "from step " << first;
  }
  // FORMAT_TEXTURE falls to the DXT kinds only when no plain format exists.
  EXPECT_EQ(Resolve(Adapter{{kDXT1, kDXT3}, {}, {}}, FORMAT_TEXTURE), kDXT3);
  EXPECT_EQ(Resolve(Adapter{{kR5G6B5, kX8R8G8B8}, {}, {}}, FORMAT_TEXTURE), kUnknown);
}

TEST(FormatKind, CandidateOrderDecidesAndEachKindLooksOnlyAtItsOwnList) {
  const Adapter adapter{{kDXT1, kDXT5, kA8R3G3B2, kA8, kD16},
                        {kX1R5G5B5, kA1R5G5B5, kA16B16G16R16F},
                        {kD15S1, kD24X8, kD16, kD16Lockable, kD24S8, kA8R8G8B8}};
  const std::pair<std::int32_t, FormatCode> cases[] = {
      {FORMAT_DXT3, kDXT1},           {FORMAT_DXT5, kDXT5},         {FORMAT_ALPHAONLY, kA8},
      {FORMAT_TEXTURE16, kA8R3G3B2},  {FORMAT_TEXTURE32, kUnknown}, {FORMAT_TARGET16, kA1R5G5B5},
      {FORMAT_TARGET32, kUnknown},    {FORMAT_TARGETFLOAT, kA16B16G16R16F},
      {FORMAT_DEPTH16, kD16Lockable}, {FORMAT_DEPTH32, kD24S8}};
  for (const auto& [kind, expected] : cases) EXPECT_EQ(Resolve(adapter, kind), expected) << "kind " << kind;
}

TEST(FormatKind, GivenBackBufferAndOutOfRange) {
  const Adapter adapter{{kA8R8G8B8}, {kA8R8G8B8}, {kD16}};
  EXPECT_EQ(Resolve(adapter, FORMAT_GIVEN, kL8), kL8);
  EXPECT_EQ(ResolveFormatKind(FORMAT_BACKBUFFER, kL8, adapter.View(true)), kX8R8G8B8);
  EXPECT_EQ(ResolveFormatKind(FORMAT_BACKBUFFER, kL8, adapter.View(false)), kR5G6B5);
  for (std::int32_t kind : {-1, 16, INT32_MIN}) EXPECT_EQ(Resolve(adapter, kind, kL8), kUnknown) << kind;
}

TEST(FormatNames, EveryCandidateHasANameAndGapsHaveNone) {
  EXPECT_STREQ(FindFormatName(22), "X8R8G8B8");
  EXPECT_STREQ(FindFormatName(MakeFourCC('R', 'G', 'B', 'G')), "R8G8_B8G8");
  EXPECT_EQ(FindFormatName(19u), nullptr);
  for (FormatCode candidate : TextureFormatCandidates()) EXPECT_NE(FindFormatName(candidate), nullptr) << candidate;
  for (FormatCode candidate : DepthFormatCandidates()) EXPECT_NE(FindFormatName(candidate), nullptr) << candidate;
}

TEST(ErrorText, KnownCodesHaveTextsOfTheirOwnAndOthersTheUnknownOne) {
  const std::string unknown = ErrorTextUtf8(ResultCode{1});
  for (ResultCode code : {result::kWasStillDrawing, result::kDriverInvalidCall, ResultCode{-1}}) {
    EXPECT_EQ(ErrorTextUtf8(code), unknown) << std::hex << code;
  }
  std::set<std::string> texts;
  for (ResultCode code : {result::kOk, result::kWrongTextureFormat, result::kDeviceLost, result::kDeviceNotReset,
                          result::kOutOfVideoMemory, result::kInvalidCall, result::kOutOfMemory, result::kInvalidArg,
                          result::kFail, result::kInvalidMesh, result::kInvalidData}) {
    EXPECT_TRUE(texts.insert(ErrorTextUtf8(code)).second) << std::hex << code;
  }
  EXPECT_FALSE(texts.contains(unknown));
}

TEST(TextureSizing, SidesAreTheNextPowerOfTwoHalvedWhileAboveTheDeviceMaximum) {
  const std::uint32_t cases[][3] = {{100, 16384, 128}, {64, 16384, 64}, {0, 16384, 1},
                                    {300, 200, 128},  // a maximum that is no power of two
                                    {0xFFFFFFFFu, 0, 0x80000000u}};  // no endless doubling at the top
  for (const auto& [wanted, maximum, side] : cases) EXPECT_EQ(TextureSide(wanted, maximum), side) << wanted;
}

}  // namespace
}  // namespace vela
