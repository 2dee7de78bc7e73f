// The capability summary from D3DCAPS9, and its report in the log.
#include <windows.h>

#include <d3d9.h>

#include <array>
#include <cstddef>

#include "core/vela_debug.h"
#include "graphics/vela3d_state.h"

namespace vela::Vela3D {
namespace {

std::uint8_t Flag(DWORD bits, DWORD bit) { return (bits & bit) != 0 ? 1 : 0; }

// SrcBlendCaps and DestBlendCaps bits in the summary's order.
constexpr std::array<DWORD, 14> kBlendBits = {
    D3DPBLENDCAPS_BLENDFACTOR, D3DPBLENDCAPS_BOTHINVSRCALPHA, D3DPBLENDCAPS_BOTHSRCALPHA,
    D3DPBLENDCAPS_DESTALPHA,   D3DPBLENDCAPS_DESTCOLOR,       D3DPBLENDCAPS_INVDESTALPHA,
    D3DPBLENDCAPS_INVDESTCOLOR, D3DPBLENDCAPS_INVSRCALPHA,    D3DPBLENDCAPS_INVSRCCOLOR,
    D3DPBLENDCAPS_ONE,         D3DPBLENDCAPS_SRCALPHA,        D3DPBLENDCAPS_SRCALPHASAT,
    D3DPBLENDCAPS_SRCCOLOR,    D3DPBLENDCAPS_ZERO};

constexpr std::array<const char*, 14> kBlendWords = {
    "BLEND FACTOR", "BOTH INVSRC",  "BOTH SRC",      "DEST ALPHA", "DEST COLOR",    "INV DEST ALPHA",
    "INV DEST COLOR", "INV SRC ALPHA", "INV SRC COLOR", "ONE",      "SRC ALPHA",     "SRC ALPHA SAT",
    "SRC COLOR",    "ZERO"};

void Section(const char* title) {
  LogBold("%s", title);
  LogBreak();
}

void Item(std::uint8_t present, const char* text) {
  LogPlain("　　　[ %s ] %s", present ? "○" : "×", text);
  LogBreak();
}

void BlendItem(std::uint8_t present, const char* prefix, const char* word) {
  LogPlain("　　　[ %s ] %s%s", present ? "○" : "×", prefix, word);
  LogBreak();
}

void Number(const char* format, unsigned value) {
  LogPlain(format, value);
  LogBreak();
}

void Real(const char* format, float value) {
  LogPlain(format, static_cast<double>(value));
  LogBreak();
}

void Version(const char* format, std::uint32_t version) {
  LogPlain(format, static_cast<unsigned>((version >> 8) & 0xFF), static_cast<unsigned>(version & 0xFF));
  LogBreak();
}

}  // namespace

void FillCaps(const D3DCAPS9& caps, Vela3DCaps& summary) {
  summary.pureDevice = Flag(caps.DevCaps, D3DDEVCAPS_PUREDEVICE);
  summary.hardwareTransformAndLighting = Flag(caps.DevCaps, D3DDEVCAPS_HWTRANSFORMANDLIGHT);
  summary.hardwareRasterization = Flag(caps.DevCaps, D3DDEVCAPS_HWRASTERIZATION);
  summary.deviceType = static_cast<std::uint32_t>(caps.DeviceType);
  summary.minifyAnisotropic = Flag(caps.TextureFilterCaps, D3DPTFILTERCAPS_MINFANISOTROPIC);
  summary.magnifyAnisotropic = Flag(caps.TextureFilterCaps, D3DPTFILTERCAPS_MAGFANISOTROPIC);
  summary.dither = Flag(caps.RasterCaps, D3DPRASTERCAPS_DITHER);
  summary.depthBias = Flag(caps.RasterCaps, D3DPRASTERCAPS_DEPTHBIAS);
  summary.wBuffer = Flag(caps.RasterCaps, D3DPRASTERCAPS_WBUFFER);
  summary.autoGenerateMipmap = Flag(caps.Caps2, D3DCAPS2_CANAUTOGENMIPMAP);
  summary.zAlways = Flag(caps.ZCmpCaps, D3DPCMPCAPS_ALWAYS);
  summary.zEqual = Flag(caps.ZCmpCaps, D3DPCMPCAPS_EQUAL);
  summary.zGreater = Flag(caps.ZCmpCaps, D3DPCMPCAPS_GREATER);
  summary.zGreaterEqual = Flag(caps.ZCmpCaps, D3DPCMPCAPS_GREATEREQUAL);
  summary.zLess = Flag(caps.ZCmpCaps, D3DPCMPCAPS_LESS);
  summary.zLessEqual = Flag(caps.ZCmpCaps, D3DPCMPCAPS_LESSEQUAL);
  summary.zNever = Flag(caps.ZCmpCaps, D3DPCMPCAPS_NEVER);
  summary.zNotEqual = Flag(caps.ZCmpCaps, D3DPCMPCAPS_NOTEQUAL);
  for (std::size_t i = 0; i < kBlendBits.size(); ++i) {
    summary.sourceBlend[i] = Flag(caps.SrcBlendCaps, kBlendBits[i]);
    summary.destinationBlend[i] = Flag(caps.DestBlendCaps, kBlendBits[i]);
  }
  summary.cubeMap = Flag(caps.TextureCaps, D3DPTEXTURECAPS_CUBEMAP);
  summary.mipMap = Flag(caps.TextureCaps, D3DPTEXTURECAPS_MIPMAP);
  summary.perspective = Flag(caps.TextureCaps, D3DPTEXTURECAPS_PERSPECTIVE);
  summary.pow2 = Flag(caps.TextureCaps, D3DPTEXTURECAPS_POW2);
  summary.squareOnly = Flag(caps.TextureCaps, D3DPTEXTURECAPS_SQUAREONLY);
  summary.addressBorder = Flag(caps.TextureAddressCaps, D3DPTADDRESSCAPS_BORDER);
  summary.addressClamp = Flag(caps.TextureAddressCaps, D3DPTADDRESSCAPS_CLAMP);
  summary.addressIndependentUV = Flag(caps.TextureAddressCaps, D3DPTADDRESSCAPS_INDEPENDENTUV);
  summary.addressMirror = Flag(caps.TextureAddressCaps, D3DPTADDRESSCAPS_MIRROR);
  summary.addressMirrorOnce = Flag(caps.TextureAddressCaps, D3DPTADDRESSCAPS_MIRRORONCE);
  summary.addressWrap = Flag(caps.TextureAddressCaps, D3DPTADDRESSCAPS_WRAP);
  summary.maxAnisotropy = caps.MaxAnisotropy;
  summary.maxTextureWidth = caps.MaxTextureWidth;
  summary.maxTextureHeight = caps.MaxTextureHeight;
  summary.maxTextureRepeat = caps.MaxTextureRepeat;
  summary.maxTextureAspectRatio = caps.MaxTextureAspectRatio;
  summary.stencilKeep = Flag(caps.StencilCaps, D3DSTENCILCAPS_KEEP);
  summary.stencilZero = Flag(caps.StencilCaps, D3DSTENCILCAPS_ZERO);
  summary.stencilReplace = Flag(caps.StencilCaps, D3DSTENCILCAPS_REPLACE);
  summary.stencilIncrSat = Flag(caps.StencilCaps, D3DSTENCILCAPS_INCRSAT);
  summary.stencilDecrSat = Flag(caps.StencilCaps, D3DSTENCILCAPS_DECRSAT);
  summary.stencilInvert = Flag(caps.StencilCaps, D3DSTENCILCAPS_INVERT);
  summary.stencilIncr = Flag(caps.StencilCaps, D3DSTENCILCAPS_INCR);
  summary.stencilDecr = Flag(caps.StencilCaps, D3DSTENCILCAPS_DECR);
  summary.stencilTwoSided = Flag(caps.StencilCaps, D3DSTENCILCAPS_TWOSIDED);
  summary.maxVertexW = caps.MaxVertexW;
  summary.guardBandLeft = caps.GuardBandLeft;
  summary.guardBandTop = caps.GuardBandTop;
  summary.guardBandRight = caps.GuardBandRight;
  summary.guardBandBottom = caps.GuardBandBottom;
  summary.maxPointSize = caps.MaxPointSize;
  summary.maxPrimitiveCount = caps.MaxPrimitiveCount;
  summary.maxVertexIndex = caps.MaxVertexIndex;
  summary.maxTextureBlendStages = caps.MaxTextureBlendStages;
  summary.maxSimultaneousTextures = caps.MaxSimultaneousTextures;
  summary.maxActiveLights = caps.MaxActiveLights;
  summary.maxVertexBlendMatrices = caps.MaxVertexBlendMatrices;
  summary.maxVertexBlendMatrixIndex = caps.MaxVertexBlendMatrixIndex;
  summary.vertexShaderVersion = caps.VertexShaderVersion;
  summary.pixelShaderVersion = caps.PixelShaderVersion;
  summary.maxVertexShaderConst = caps.MaxVertexShaderConst;
  summary.dynamicFlowControlDepth = caps.VS20Caps.DynamicFlowControlDepth;
  summary.staticFlowControlDepth = caps.VS20Caps.StaticFlowControlDepth;
}

void LogDeviceInformation(const Vela3DCaps& caps) {
  Real("　　　ポイントサイズ [ %.3lf ]", caps.maxPointSize);
  Number("　　　最大プリミティブ数 [ %u ]", caps.maxPrimitiveCount);
  Number("　　　最大インデックス数 [ %u ]", caps.maxVertexIndex);
  Number("　　　最大テクスチャステージ数 [ %u ]", caps.maxTextureBlendStages);
  Number("　　　最大マルチテクスチャ数 [ %u ]", caps.maxSimultaneousTextures);
  Number("　　　最大ハードウェアライト数 [ %u ]", caps.maxActiveLights);
  Number("　　　最大ブレンドマトリックス数 [ %u ]", caps.maxVertexBlendMatrices);
  Number("　　　最大ブレンドインデックス数 [ %u ]", caps.maxVertexBlendMatrixIndex);
  Number("　　　最大頂点シェーダー定数数 [ %u ]", caps.maxVertexShaderConst);
  Version("　　　頂点シェーダーバージョン [ %u.%u ]", caps.vertexShaderVersion);
  Version("　　　ピクセルシェーダーバージョン[ %u.%u ]", caps.pixelShaderVersion);
  Number("　　　動的フロー制御命令のネスティング [ %u ]", static_cast<unsigned>(caps.dynamicFlowControlDepth));
  Number("　　　静的フロー制御命令のネスティング [ %u ]", static_cast<unsigned>(caps.staticFlowControlDepth));
}

void LogCapabilityReport(const Vela3DCaps& caps) {
  Section("　デバイス能力");
  Item(caps.pureDevice, "ピュアデバイス");
  Item(caps.hardwareTransformAndLighting, "ハードウェアＴｎＬ");
  Item(caps.hardwareRasterization, "ハードウェアラスタライズ");
  Item(caps.minifyAnisotropic, "縮小異方性フィルタリング");
  Item(caps.magnifyAnisotropic, "拡大異方性フィルタリング");
  Item(caps.dither, "ディザリング");
  Item(caps.depthBias, "深度バイアス");
  Item(caps.wBuffer, "Ｗバッファ");
  Item(caps.autoGenerateMipmap, "ミップマップ自動生成");

  Section("　深度テスト能力");
  Item(caps.zAlways, "深度テスト ALWAYS");
  Item(caps.zEqual, "深度テスト EQUAL");
  Item(caps.zGreater, "深度テスト GREATER");
  Item(caps.zGreaterEqual, "深度テスト GREATER EQUA");
  Item(caps.zLess, "深度テスト LESS");
  Item(caps.zLessEqual, "深度テスト LESS EQUAL");
  Item(caps.zNever, "深度テスト NEVER");
  Item(caps.zNotEqual, "深度テスト NOT EQUAL");

  Section("　ソースブレンド能力");
  for (std::size_t i = 0; i < kBlendWords.size(); ++i) BlendItem(caps.sourceBlend[i], "ソースブレンド ", kBlendWords[i]);
  Section("　デストブレンド能力");
  for (std::size_t i = 0; i < kBlendWords.size(); ++i) {
    BlendItem(caps.destinationBlend[i], "デストブレンド ", kBlendWords[i]);
  }

  Section("　テクスチャ能力");
  Item(caps.cubeMap, "キューブマップ");
  Item(caps.mipMap, "ミップマップ");
  Item(caps.perspective, "パースペクティブコレクト");
  // The restriction bits as they stand (set: power-of-two sizes only, square only).
  Item(caps.pow2, "２のべき乗以外のテクスチャ");
  Item(caps.squareOnly, "正方形以外のテクスチャ");
  Item(caps.addressBorder, "テクスチャ BORDER");
  Item(caps.addressClamp, "テクスチャ CLAMP");
  Item(caps.addressIndependentUV, "テクスチャ INDEPENDENT");
  Item(caps.addressMirror, "テクスチャ MIRROR");
  Item(caps.addressMirrorOnce, "テクスチャ MIRROR RONCE");
  Item(caps.addressWrap, "テクスチャ WRAP");
  Number("　　　テクスチャ最大横幅 [ %u ]", caps.maxTextureWidth);
  Number("　　　テクスチャ最大縦幅 [ %u ]", caps.maxTextureHeight);
  Number("　　　テクスチャ最大リピート数 [ %u ]", caps.maxTextureRepeat);
  Number("　　　テクスチャ最大アスペクト [ %u ]", caps.maxTextureAspectRatio);
  Number("　　　テクスチャ異方性の次数 [ %u ]", caps.maxAnisotropy);

  Section("　ステンシル能力");
  Item(caps.stencilKeep, "ステンシル KEEP");
  Item(caps.stencilZero, "ステンシル ZERO");
  Item(caps.stencilReplace, "ステンシル REPLACE");
  Item(caps.stencilIncrSat, "ステンシル INCRSAT");
  Item(caps.stencilDecrSat, "ステンシル DECRSAT");
  Item(caps.stencilInvert, "ステンシル INVERT");
  Item(caps.stencilIncr, "ステンシル INCR");
  Item(caps.stencilDecr, "ステンシル DECR");
  Item(caps.stencilTwoSided, "ステンシル TWO SIDED");

  Section("　その他");
  Real("　　　最大ｗ値 [ %lf ]", caps.maxVertexW);
  Real("　　　ガードバンド　左 [ %.3lf ]", caps.guardBandLeft);
  Real("　　　ガードバンド　上 [ %.3lf ]", caps.guardBandTop);
  Real("　　　ガードバンド　右 [ %.3lf ]", caps.guardBandRight);
  Real("　　　ガードバンド　下 [ %.3lf ]", caps.guardBandBottom);
  LogDeviceInformation(caps);
  Number("　　　異方性フィルタリング最大次数 [ %u ]", caps.maxAnisotropy);
}

}  // namespace vela::Vela3D
