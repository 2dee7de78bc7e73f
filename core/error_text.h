// The Japanese message for a Direct3D or D3DX result code, as the log shows it in "[ %s ]".
// The table is UTF-8, as every text the library logs; the log writes it in Shift-JIS.
#pragma once

#include <cstdint>

namespace vela {

using ResultCode = std::int32_t;  // an HRESULT

// Result codes named by the table (the values of the SDK's macros).
namespace result {
constexpr ResultCode MakeD3DResult(std::uint32_t code) {
  return static_cast<ResultCode>(0x88760000u | code);
}
inline constexpr ResultCode kOk = 0;
inline constexpr ResultCode kWrongTextureFormat = MakeD3DResult(2072);
inline constexpr ResultCode kUnsupportedColorOperation = MakeD3DResult(2073);
inline constexpr ResultCode kUnsupportedColorArg = MakeD3DResult(2074);
inline constexpr ResultCode kUnsupportedAlphaOperation = MakeD3DResult(2075);
inline constexpr ResultCode kUnsupportedAlphaArg = MakeD3DResult(2076);
inline constexpr ResultCode kTooManyOperations = MakeD3DResult(2077);
inline constexpr ResultCode kConflictingTextureFilter = MakeD3DResult(2078);
inline constexpr ResultCode kUnsupportedFactorValue = MakeD3DResult(2079);
inline constexpr ResultCode kConflictingRenderState = MakeD3DResult(2081);
inline constexpr ResultCode kUnsupportedTextureFilter = MakeD3DResult(2082);
inline constexpr ResultCode kConflictingTexturePalette = MakeD3DResult(2086);
inline constexpr ResultCode kDriverInternalError = MakeD3DResult(2087);
inline constexpr ResultCode kNotFound = MakeD3DResult(2150);
inline constexpr ResultCode kMoreData = MakeD3DResult(2151);
inline constexpr ResultCode kDeviceLost = MakeD3DResult(2152);
inline constexpr ResultCode kDeviceNotReset = MakeD3DResult(2153);
inline constexpr ResultCode kNotAvailable = MakeD3DResult(2154);
inline constexpr ResultCode kOutOfVideoMemory = MakeD3DResult(380);
inline constexpr ResultCode kInvalidDevice = MakeD3DResult(2155);
inline constexpr ResultCode kInvalidCall = MakeD3DResult(2156);
inline constexpr ResultCode kDriverInvalidCall = MakeD3DResult(2157);
inline constexpr ResultCode kWasStillDrawing = MakeD3DResult(540);
inline constexpr ResultCode kOutOfMemory = static_cast<ResultCode>(0x8007000Eu);
inline constexpr ResultCode kInvalidArg = static_cast<ResultCode>(0x80070057u);
inline constexpr ResultCode kFail = static_cast<ResultCode>(0x80004005u);
inline constexpr ResultCode kCannotModifyIndexBuffer = MakeD3DResult(2900);
inline constexpr ResultCode kInvalidMesh = MakeD3DResult(2901);
inline constexpr ResultCode kCannotAttrSort = MakeD3DResult(2902);
inline constexpr ResultCode kSkinningNotSupported = MakeD3DResult(2903);
inline constexpr ResultCode kTooManyInfluences = MakeD3DResult(2904);
inline constexpr ResultCode kInvalidData = MakeD3DResult(2905);
inline constexpr ResultCode kLoadedMeshHasNoData = MakeD3DResult(2906);
inline constexpr ResultCode kDuplicateNamedFragment = MakeD3DResult(2907);
inline constexpr ResultCode kCannotRemoveLastItem = MakeD3DResult(2908);
}  // namespace result

// The message for a code (UTF-8); "未知のエラー。" for every code outside the table.
const char* ErrorTextUtf8(ResultCode code);

}  // namespace vela
