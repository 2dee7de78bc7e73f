// Format kinds against given adapter lists, format names and the Japanese error texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/error_text.h"
#include "graphics/format_kind.h"

namespace vela {
namespace {

using namespace format;

struct Adapter {
  std::vector<FormatCode> texture;
  std::vector<FormatCode> renderTarget;
  std::vector<FormatCode> depth;
  AcceptedFormats View(bool windowed = true) const {
    return {texture, renderTarget, depth, kX8R8G8B8, kR5G6B5, windowed};
  }
};

FormatCode Resolve(const Adapter& adapter, std::int32_t kind, FormatCode given = kUnknown) {
  return ResolveFormatKind(kind, given, adapter.View());
}

TEST(FormatKind, TexturePrefersUncompressedAndCompressedPrefersDxt) {
  const Adapter full{{kR5G6B5, kA1R5G5B5, kA4R4G4B4, kA8R8G8B8, kDXT5, kDXT3, kDXT1}, {}, {}};
  EXPECT_EQ(Resolve(full, FORMAT_TEXTURE), kA8R8G8B8) << "even with DXT accepted";
  EXPECT_EQ(Resolve(full, FORMAT_TEXTURE_COMPRESSED), kDXT5);

  // The compressed kind walks DXT5, DXT3, DXT1, A8R8G8B8, then the 16-bit formats.
  const std::vector<FormatCode> steps = {kDXT3, kDXT1, kA8R8G8B8, kA4R4G4B4, kA1R5G5B5, kA8R3G3B2};
  for (std::size_t first = 0; first < steps.size(); ++first) {
    const Adapter adapter{{steps.begin() + static_cast<std::ptrdiff_t>(first), steps.end()}, {}, {}};
    EXPECT_EQ(Resolve(adapter, FORMAT_TEXTURE_COMPRESSED), steps[first]) << "from step " << first;
  }
  // FORMAT_TEXTURE falls to the DXT kinds only when no plain format exists.
  EXPECT_EQ(Resolve(Adapter{{kDXT1, kDXT3}, {}, {}}, FORMAT_TEXTURE), kDXT3);
  EXPECT_EQ(Resolve(Adapter{{kR5G6B5, kX8R8G8B8}, {}, {}}, FORMAT_TEXTURE), kUnknown);
}

TEST(FormatKind, CandidateOrderDecidesNotTheAdapterListOrder) {
  const Adapter adapter{{kDXT1, kDXT5, kA8R3G3B2, kA8},
                        {kX1R5G5B5, kA1R5G5B5, kX8R8G8B8, kA8R8G8B8, kA16B16G16R16F},
                        {kD15S1, kD24X8, kD16, kD16Lockable, kD24S8}};
  EXPECT_EQ(Resolve(adapter, FORMAT_DXT1), kDXT1);
  EXPECT_EQ(Resolve(adapter, FORMAT_DXT3), kDXT1);
  EXPECT_EQ(Resolve(adapter, FORMAT_DXT5), kDXT5);
  EXPECT_EQ(Resolve(adapter, FORMAT_ALPHAONLY), kA8);
  EXPECT_EQ(Resolve(adapter, FORMAT_TEXTURE16), kA8R3G3B2);
  EXPECT_EQ(Resolve(adapter, FORMAT_TEXTURE32), kUnknown);
  EXPECT_EQ(Resolve(adapter, FORMAT_TARGET16), kA1R5G5B5);
  EXPECT_EQ(Resolve(adapter, FORMAT_TARGET32), kA8R8G8B8);
  EXPECT_EQ(Resolve(adapter, FORMAT_TARGETFLOAT), kA16B16G16R16F);
  EXPECT_EQ(Resolve(adapter, FORMAT_DEPTH16), kD16Lockable);
  EXPECT_EQ(Resolve(adapter, FORMAT_DEPTH32), kD24S8);
  EXPECT_EQ(Resolve(adapter, FORMAT_DEPTHSTENCIL), kD24S8);
}

TEST(FormatKind, EachKindLooksOnlyAtItsOwnList) {
  // Depth formats in the texture list do not make a depth kind resolve, and so on.
  const Adapter adapter{{kD16, kA8R8G8B8}, {kDXT5}, {kA8R8G8B8}};
  EXPECT_EQ(Resolve(adapter, FORMAT_DEPTH16), kUnknown);
  EXPECT_EQ(Resolve(adapter, FORMAT_TARGET32), kUnknown);
  EXPECT_EQ(Resolve(adapter, FORMAT_DXT5), kUnknown);
  EXPECT_EQ(Resolve(adapter, FORMAT_TEXTURE32), kA8R8G8B8);
}

TEST(FormatKind, GivenBackBufferAndOutOfRange) {
  const Adapter adapter{{kA8R8G8B8}, {kA8R8G8B8}, {kD16}};
  EXPECT_EQ(Resolve(adapter, FORMAT_GIVEN, kL8), kL8);
  EXPECT_EQ(ResolveFormatKind(FORMAT_BACKBUFFER, kL8, adapter.View(true)), kX8R8G8B8);
  EXPECT_EQ(ResolveFormatKind(FORMAT_BACKBUFFER, kL8, adapter.View(false)), kR5G6B5);
  for (std::int32_t kind : {-1, 16, 1000, INT32_MIN}) EXPECT_EQ(Resolve(adapter, kind, kL8), kUnknown) << kind;
  const Adapter empty{};
  for (std::int32_t kind = 1; kind < 16; ++kind) {
    if (kind != FORMAT_BACKBUFFER) {
      EXPECT_EQ(Resolve(empty, kind), kUnknown) << kind;
    }
  }
}

TEST(FormatKind, CandidateLists) {
  const auto texture = TextureFormatCandidates();
  ASSERT_EQ(texture.size(), 56u);
  EXPECT_EQ(texture.front(), kR5G6B5);
  EXPECT_EQ(texture[30], kDXT5);
  EXPECT_EQ(texture.back(), kG16R16);
  const auto depth = DepthFormatCandidates();
  EXPECT_EQ(std::vector<FormatCode>(depth.begin(), depth.end()),
            (std::vector<FormatCode>{kD16, kD32, kD24S8, kD24X8, kD24X4S4, kD24FS8, kD15S1}));
}

TEST(FormatNames, NamesWithoutPrefix) {
  EXPECT_STREQ(FindFormatName(22), "X8R8G8B8");
  EXPECT_STREQ(FindFormatName(117), "CxV8U8");
  EXPECT_STREQ(FindFormatName(0), "UNKNOWN");
  EXPECT_STREQ(FindFormatName(MakeFourCC('D', 'X', 'T', '1')), "DXT1");
  EXPECT_STREQ(FindFormatName(MakeFourCC('R', 'G', 'B', 'G')), "R8G8_B8G8");
  EXPECT_STREQ(FindFormatName(70), "D16_LOCKABLE");
  EXPECT_STREQ(FindFormatName(82), "D32F_LOCKABLE");
  // Gaps of the enumeration, the Direct3D 9Ex additions and unknown codes have no name.
  for (FormatCode unnamed : {1u, 19u, 37u, 42u, 53u, 65u, 72u, 84u, 85u, 99u, 103u, 118u,
                             MakeFourCC('M', 'E', 'T', '1'), 0xFFFFFFFFu}) {
    EXPECT_EQ(FindFormatName(unnamed), nullptr) << unnamed;
  }
  // Every candidate checked at start-up can be logged by name.
  for (FormatCode candidate : TextureFormatCandidates()) EXPECT_NE(FindFormatName(candidate), nullptr) << candidate;
}

TEST(ErrorText, KnownCodes) {
  EXPECT_STREQ(ErrorTextUtf8(result::kOk), "エラーは発生していない。");
  EXPECT_STREQ(ErrorTextUtf8(static_cast<ResultCode>(0x88760868u)),
               "デバイスが失われていて、現時点では復元できないため、レンダリングは不可能である。");
  EXPECT_STREQ(ErrorTextUtf8(static_cast<ResultCode>(0x8876086Cu)),
               "メソッドの呼び出しが無効である。たとえば、メソッドのパラメータに無効な値が設定されている場合など。");
  EXPECT_STREQ(ErrorTextUtf8(static_cast<ResultCode>(0x8876017Cu)),
               "Direct3D が処理を行うのに十分なディスプレイ メモリがない。");
  EXPECT_STREQ(ErrorTextUtf8(static_cast<ResultCode>(0x8007000Eu)),
               "Direct3D が呼び出しを完了するための十分なメモリを割り当てることができなかった。");
  EXPECT_STREQ(ErrorTextUtf8(static_cast<ResultCode>(0x80070057u)), "無効なパラメータが戻ってくる関数に渡された。");
  EXPECT_STREQ(ErrorTextUtf8(static_cast<ResultCode>(0x80004005u)),
               "Direct3D サブシステム内で原因不明のエラーが発生した。");
  EXPECT_STREQ(ErrorTextUtf8(result::kInvalidData), "データが無効である。");
}

TEST(ErrorText, FiveD3DXMessagesEndInABlank) {
  for (ResultCode code : {result::kCannotModifyIndexBuffer, result::kInvalidMesh, result::kCannotAttrSort,
                          result::kSkinningNotSupported, result::kTooManyInfluences}) {
    const std::string text = ErrorTextUtf8(code);
    ASSERT_GT(text.size(), 4u);
    EXPECT_EQ(text.back(), ' ') << text;
    EXPECT_EQ(text.substr(text.size() - 4), "。 ") << "the blank follows the full stop: " << text;
  }
  EXPECT_STREQ(ErrorTextUtf8(result::kInvalidMesh), "メッシュが無効である。 ");
}

TEST(ErrorText, UnknownCodes) {
  for (ResultCode code : {result::kWasStillDrawing, result::kDriverInvalidCall, result::kLoadedMeshHasNoData,
                          result::kDuplicateNamedFragment, result::kCannotRemoveLastItem, ResultCode{1},
                          ResultCode{-1}}) {
    EXPECT_STREQ(ErrorTextUtf8(code), "未知のエラー。") << std::hex << code;
  }
}

TEST(ErrorText, EveryKnownCodeHasItsOwnText) {
  const std::vector<ResultCode> known = {
      result::kOk, result::kWrongTextureFormat, result::kUnsupportedColorOperation, result::kUnsupportedColorArg,
      result::kUnsupportedAlphaOperation, result::kUnsupportedAlphaArg, result::kTooManyOperations,
      result::kConflictingTextureFilter, result::kUnsupportedFactorValue, result::kConflictingRenderState,
      result::kUnsupportedTextureFilter, result::kConflictingTexturePalette, result::kDriverInternalError,
      result::kNotFound, result::kMoreData, result::kDeviceLost, result::kDeviceNotReset, result::kNotAvailable,
      result::kOutOfVideoMemory, result::kInvalidDevice, result::kInvalidCall, result::kOutOfMemory,
      result::kInvalidArg, result::kFail, result::kCannotModifyIndexBuffer, result::kInvalidMesh,
      result::kCannotAttrSort, result::kSkinningNotSupported, result::kTooManyInfluences, result::kInvalidData};
  std::vector<std::string> texts;
  for (ResultCode code : known) {
    const std::string text = ErrorTextUtf8(code);
    EXPECT_NE(text, "未知のエラー。") << std::hex << code;
    for (const std::string& earlier : texts) EXPECT_NE(text, earlier);
    texts.push_back(text);
  }
  EXPECT_EQ(texts.size(), 30u);
}

}  // namespace
}  // namespace vela
