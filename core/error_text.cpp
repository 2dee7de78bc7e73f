#include "core/error_text.h"

#include <array>

namespace vela {
namespace {

struct ErrorMessage {
  ResultCode code;
  const char* text;
};

using namespace result;

// Five of the D3DX messages end in a blank; it belongs to the message.
constexpr std::array kErrorMessages = {
    ErrorMessage{kOk, "エラーは発生していない。"},
    ErrorMessage{kWrongTextureFormat, "テクスチャ サーフェスのピクセル フォーマットが有効でない。"},
    ErrorMessage{kUnsupportedColorOperation,
                 "カラー値に対して指定されているテクスチャ ブレンディング処理を、デバイスがサポートしていない。"},
    ErrorMessage{kUnsupportedColorArg,
                 "カラー値に対して指定されているテクスチャ ブレンディング引数を、デバイスがサポートしていない。"},
    ErrorMessage{kUnsupportedAlphaOperation,
                 "アルファ チャネルに対して指定されているテクスチャ ブレンディング処理を、デバイスがサポートしていない。"},
    ErrorMessage{kUnsupportedAlphaArg,
                 "アルファ チャネルに対して指定されているテクスチャ ブレンディング引数を、デバイスがサポートしていない。"},
    ErrorMessage{kTooManyOperations,
                 "デバイスがサポートしている以上のテクスチャ フィルタリング処理を、アプリケーションが要求している。"},
    ErrorMessage{kConflictingTextureFilter, "現在のテクスチャ フィルタは一緒に使用できない。"},
    ErrorMessage{kUnsupportedFactorValue, "デバイスが指定されたテクスチャ係数値をサポートしていない。"},
    ErrorMessage{kConflictingRenderState, "現在設定されているレンダリング ステートは一緒に使用できない。"},
    ErrorMessage{kUnsupportedTextureFilter, "デバイスが指定されたテクスチャ フィルタをサポートしていない。"},
    ErrorMessage{kConflictingTexturePalette,
                 "現在のテクスチャは同時に使用できない。一般にマルチテクスチャ デバイスにおいて、同時に有効にされた"
                 "パレット化テクスチャで同じパレットを共有する必要がある場合に発生する。"},
    ErrorMessage{kDriverInternalError, "内部ドライバ エラー。"},
    ErrorMessage{kNotFound, "要求された項目が見つからなかった。"},
    ErrorMessage{kMoreData, "指定されたバッファ サイズに保持できる以上のデータが存在する。"},
    ErrorMessage{kDeviceLost, "デバイスが失われていて、現時点では復元できないため、レンダリングは不可能である。"},
    ErrorMessage{kDeviceNotReset, "デバイスはリセットできない。"},
    ErrorMessage{kNotAvailable, "このデバイスは、照会されたテクニックをサポートしていない。"},
    ErrorMessage{kOutOfVideoMemory, "Direct3D が処理を行うのに十分なディスプレイ メモリがない。"},
    ErrorMessage{kInvalidDevice, "要求されたデバイスの種類が有効でない。"},
    ErrorMessage{kInvalidCall,
                 "メソッドの呼び出しが無効である。たとえば、メソッドのパラメータに無効な値が設定されている場合など。"},
    ErrorMessage{kOutOfMemory, "Direct3D が呼び出しを完了するための十分なメモリを割り当てることができなかった。"},
    ErrorMessage{kInvalidArg, "無効なパラメータが戻ってくる関数に渡された。"},
    ErrorMessage{kFail, "Direct3D サブシステム内で原因不明のエラーが発生した。"},
    ErrorMessage{kCannotModifyIndexBuffer, "インデックス バッファを変更できない。 "},
    ErrorMessage{kInvalidMesh, "メッシュが無効である。 "},
    ErrorMessage{kCannotAttrSort, "最適化テクニックとして属性のソート (D3DXMESHOPT_ATTRSORT) はサポートされていない。 "},
    ErrorMessage{kSkinningNotSupported, "スキニングはサポートされていない。 "},
    ErrorMessage{kTooManyInfluences, "指定された影響が多すぎる。 "},
    ErrorMessage{kInvalidData, "データが無効である。"},
};
static_assert(kErrorMessages.size() == 30, "30 known codes and the unknown-error text");

}  // namespace

const char* ErrorTextUtf8(ResultCode code) {
  for (const ErrorMessage& entry : kErrorMessages) {
    if (entry.code == code) return entry.text;
  }
  return "未知のエラー。";
}

}  // namespace vela
