// Vela3D start-up: loading Direct3D 9, the adapter's identity, display modes and accepted
// formats, the capability summary; release; the accessors and the format and error texts.
#include "graphics/vela3d.h"

#include <cstdio>
#include <cstring>
#include <span>
#include <utility>
#include <vector>

#include "graphics/error_box.h"
#include "core/vela_core.h"
#include "core/vela_debug.h"
#include "core/error_text.h"
#include "core/system_text.h"
#include "graphics/format_kind.h"
#include "graphics/vela3d_state.h"

namespace vela::Vela3D {
namespace {

// The pure tables carry the SDK's numbers; these checks keep them honest.
static_assert(format::kA8R8G8B8 == D3DFMT_A8R8G8B8 && format::kCxV8U8 == D3DFMT_CxV8U8);
static_assert(format::kDXT5 == D3DFMT_DXT5 && format::kG8R8_G8B8 == D3DFMT_G8R8_G8B8);
static_assert(format::kD24FS8 == D3DFMT_D24FS8 && format::kL16 == D3DFMT_L16);
static_assert(result::kDeviceLost == D3DERR_DEVICELOST && result::kDeviceNotReset == D3DERR_DEVICENOTRESET);
static_assert(result::kOutOfVideoMemory == D3DERR_OUTOFVIDEOMEMORY);
static_assert(result::kWasStillDrawing == D3DERR_WASSTILLDRAWING);
static_assert(result::kDriverInternalError == D3DERR_DRIVERINTERNALERROR);
static_assert(result::kInvalidCall == D3DERR_INVALIDCALL && result::kFail == E_FAIL);

constexpr UINT kSdkVersion = 32;  // D3D_SDK_VERSION of the 9.0c runtime
constexpr char kAdvice[] = "　　　DirectX9cが正しくインストールされているか確認して下さい";

char g_formatName[32] = "";
char g_errorText[512] = "";

void LogRedLine(const char* text) {
  LogRed("%s", text);
  LogBreak();
}

bool LoadFailed(const char* logLine, const char* boxText) {
  LogRedLine(logLine);
  LogRedLine(kAdvice);
  ErrorBox(MB_ICONERROR, "Vela3D", "%s", boxText);
  return false;
}

Direct3DMaker g_direct3dMaker = nullptr;

bool LoadDirect3D() {
  State& vela = Vela();
  vela.d3d9Module = LoadLibraryA("d3d9.dll");
  if (!vela.d3d9Module) {
    return LoadFailed("　　　エラー : DLLの読み込みに失敗",
                      "DLLの読み込みに失敗\nDirectX9cが正しくインストールされているか\n確認して下さい");
  }
  auto create = reinterpret_cast<Direct3DCreateFunction>(
      reinterpret_cast<void*>(GetProcAddress(vela.d3d9Module, "Direct3DCreate9")));
  if (!create) {
    return LoadFailed("　　　エラー : DLLからの関数呼び出しに失敗",
                      "DLLからの関数呼び出しに失敗\nDirectX9cが正しくインストールされているか\n確認して下さい");
  }
  *vela.direct3d.Out() = g_direct3dMaker ? g_direct3dMaker(create, kSdkVersion) : create(kSdkVersion);
  if (!vela.direct3d) {
    return LoadFailed("　　　エラー : Direct3Dオブジェクトの生成に失敗",
                      "Direct3Dオブジェクトの生成に失敗\nDirectX9cが正しくインストールされているか\n確認して下さい");
  }
  return true;
}

void BeginSection(const char* title) {
  LogBlue("%s", title);
  LogBreak();
}

void LogValueLine(const char* format, unsigned value) {
  LogPlain(format, value);
  LogBreak();
}

void EnumerateAdapter() {
  State& vela = Vela();
  BeginSection("アダプター情報");
  D3DADAPTER_IDENTIFIER9 identifier = {};
  if (SUCCEEDED(vela.direct3d->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &identifier))) {
    std::memcpy(vela.adapterDescription, identifier.Description, sizeof vela.adapterDescription);
    std::memcpy(vela.adapterDriver, identifier.Driver, sizeof vela.adapterDriver);
    vela.adapterDescription[sizeof vela.adapterDescription - 1] = '\0';
    vela.adapterDriver[sizeof vela.adapterDriver - 1] = '\0';
    const unsigned high = static_cast<unsigned>(identifier.DriverVersion.HighPart);
    const unsigned low = identifier.DriverVersion.LowPart;
    std::snprintf(vela.driverVersion, sizeof vela.driverVersion, "%u.%u.%u.%u", high >> 16, high & 0xFFFF,
                  low >> 16, low & 0xFFFF);
    LogPlain("　　　Name [ %s ]", SystemTextUtf8(vela.adapterDescription).c_str());
    LogBreak();
    LogPlain("　　　Device [ %s ]", SystemTextUtf8(identifier.DeviceName).c_str());
    LogBreak();
    LogPlain("　　　Driver [ %s ]", SystemTextUtf8(vela.adapterDriver).c_str());
    LogBreak();
    LogValueLine("　　　Product [ %u ]", high >> 16);
    LogPlain("　　　Version [ %u.%u.%u ]", high & 0xFFFF, low >> 16, low & 0xFFFF);
    LogBreak();
    LogPlain("　Windows Hardware Quality Lab (WHQL) 認証レベル");
    LogBreak();
    const DWORD whql = identifier.WHQLLevel;
    if (whql == 0) {
      LogPlain("　　　認証されていない。");
    } else if (whql == 1) {
      LogPlain("　　　WHQL の認証は受けているが、利用できる日付情報はない。");
    } else {
      LogPlain("　　　%u.%u.%u", static_cast<unsigned>(whql >> 16), static_cast<unsigned>((whql >> 8) & 0xFF),
               static_cast<unsigned>(whql & 0xFF));
    }
    LogBreak();
  }
  LogBreak();
}

void EnumerateDesktopMode() {
  State& vela = Vela();
  BeginSection("現在の画面情報");
  if (SUCCEEDED(vela.direct3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &vela.desktopMode))) {
    LogValueLine("　　　Width [ %u ]", vela.desktopMode.Width);
    LogValueLine("　　　Height [ %u ]", vela.desktopMode.Height);
    LogValueLine("　　　RefreshRate [ %u ]", vela.desktopMode.RefreshRate);
    LogPlain("　　　Format [ %s ]", FormatName(vela.desktopMode.Format));
    LogBreak();
  }
  LogBreak();
}

bool HasMode(const DisplayModeRecord& mode) {
  for (const DisplayModeRecord& known : Vela().modes) {
    if (known.width == mode.width && known.height == mode.height && known.format == mode.format) return true;
  }
  return false;
}

void EnumerateModes() {
  State& vela = Vela();
  BeginSection("使用可能な画面モードを列挙");
  vela.modes.clear();
  for (D3DFORMAT adapterFormat : {D3DFMT_X8R8G8B8, D3DFMT_X1R5G5B5, D3DFMT_R5G6B5}) {
    const UINT count = vela.direct3d->GetAdapterModeCount(D3DADAPTER_DEFAULT, adapterFormat);
    if (count == 0) continue;
    LogBold("　BackBuffer Format [ %s ]", FormatName(adapterFormat));
    LogBreak();
    for (UINT i = 0; i < count; ++i) {
      D3DDISPLAYMODE mode = {};
      if (FAILED(vela.direct3d->EnumAdapterModes(D3DADAPTER_DEFAULT, adapterFormat, i, &mode))) continue;
      const DisplayModeRecord record{mode.Width, mode.Height, mode.RefreshRate, static_cast<std::uint32_t>(mode.Format)};
      // The first refresh rate listed for a size wins; modes beyond the table are dropped.
      if (HasMode(record) || vela.modes.size() >= kMaxDisplayModes) continue;
      vela.modes.push_back(record);
      LogPlain("　　　[ %u x %u ] [ %uHz ]", record.width, record.height, record.refreshRate);
      LogBreak();
    }
    LogBreak();
  }
  LogBreak();
}

void FindFullScreenModes() {
  State& vela = Vela();
  BeginSection("フルスクリーン用ディスプレイモードの検索");
  int width = 0;
  int height = 0;
  GetScreen(&width, &height, nullptr);
  vela.fullScreen16 = {};
  vela.fullScreen32 = {};
  for (const DisplayModeRecord& mode : vela.modes) {
    if (mode.width != static_cast<std::uint32_t>(width) || mode.height != static_cast<std::uint32_t>(height)) {
      continue;
    }
    if (mode.format == D3DFMT_X8R8G8B8) vela.fullScreen32 = mode;
    if (mode.format == D3DFMT_R5G6B5 || mode.format == D3DFMT_X1R5G5B5) vela.fullScreen16 = mode;
  }
  LogPlain("　　　16BitColor [ %s ]", FormatName(static_cast<D3DFORMAT>(vela.fullScreen16.format)));
  LogBreak();
  LogPlain("　　　32BitColor [ %s ]", FormatName(static_cast<D3DFORMAT>(vela.fullScreen32.format)));
  LogBreak();
  LogBreak();
}

void EnumerateFormats(const char* title, std::span<const FormatCode> candidates, DWORD usage,
                      D3DRESOURCETYPE resourceType, std::vector<std::uint32_t>& accepted, std::size_t limit) {
  State& vela = Vela();
  BeginSection(title);
  const D3DFORMAT adapterFormat = vela.fullScreen32.format != D3DFMT_UNKNOWN
                                      ? static_cast<D3DFORMAT>(vela.fullScreen32.format)
                                      : vela.desktopMode.Format;
  accepted.clear();
  for (FormatCode candidate : candidates) {
    const HRESULT checked = vela.direct3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, adapterFormat, usage,
                                                             resourceType, static_cast<D3DFORMAT>(candidate));
    if (FAILED(checked) || accepted.size() >= limit) continue;
    accepted.push_back(candidate);
    LogPlain("　　　[ %s ]", FormatName(static_cast<D3DFORMAT>(candidate)));
    LogBreak();
  }
  LogBreak();
}

void ReadCapabilities() {
  State& vela = Vela();
  BeginSection("デバイス能力の取得");
  D3DCAPS9 caps = {};
  vela.direct3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps);
  FillCaps(caps, vela.caps);
  LogCapabilityReport(vela.caps);
}

}  // namespace

void SetDirect3DMaker(Direct3DMaker maker) { g_direct3dMaker = maker; }

State& Vela() {
  static State state;
  return state;
}

bool Initialize() {
  LogHeadRow("Vela3Dクラスの初期化");
  LogBreak();
  if (!LoadDirect3D()) {
    ErrorBox(MB_ICONERROR, "Vela3D", "アダプターの初期化に失敗");
    return false;
  }
  State& vela = Vela();
  EnumerateAdapter();
  EnumerateDesktopMode();
  EnumerateModes();
  FindFullScreenModes();
  EnumerateFormats("使用可能なテクスチャフォーマットを列挙", TextureFormatCandidates(), 0, D3DRTYPE_TEXTURE,
                   vela.textureFormats, kMaxTextureFormats);
  EnumerateFormats("使用可能なレンダリングターゲットテクスチャフォーマットを列挙", TextureFormatCandidates(),
                   D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE, vela.renderTargetFormats, kMaxRenderTargetFormats);
  EnumerateFormats("使用可能な深度バッファフォーマットを列挙", DepthFormatCandidates(), D3DUSAGE_DEPTHSTENCIL,
                   D3DRTYPE_SURFACE, vela.depthFormats, kMaxDepthFormats);
  ReadCapabilities();
  return true;
}

void Release() {
  State& vela = Vela();
  LogHeadRow("Vela3Dクラスの解放");
  LogBreak();
  for (ComPtr<IDirect3DQuery9>* query : {&vela.eventQuery, &vela.occlusionQuery}) {
    if (!*query) continue;
    query->Reset();
    LogPlain("IDirect3DQuery9インターフェースを解放");
    LogBreak();
  }
  vela.backBuffer.Reset();
  ReleaseStateCacheDevice();
  if (vela.device) {
    vela.device.Reset();
    LogPlain("Direct3Dデバイスを解放");
  }
  if (vela.direct3d) {
    vela.direct3d.Reset();
    LogPlain("Direct3Dオブジェクトを解放");
  }
  if (vela.d3d9Module) {
    FreeLibrary(std::exchange(vela.d3d9Module, nullptr));
    LogPlain("DLLを解放");
  }
  LogBreak();
  vela.sceneDepth = 0;
}

IDirect3DDevice9* Device() { return Vela().device.Get(); }
IDirect3D9* Direct3D() { return Vela().direct3d.Get(); }
HMONITOR AdapterMonitor() {
  return Vela().direct3d ? Vela().direct3d->GetAdapterMonitor(D3DADAPTER_DEFAULT) : nullptr;
}
IDirect3DSurface9* BackBuffer() { return Vela().backBuffer.Get(); }
IDirect3DQuery9* EventQuery() { return Vela().eventQuery.Get(); }
IDirect3DQuery9* OcclusionQuery() { return Vela().occlusionQuery.Get(); }
Vela3DCaps Caps() { return Vela().caps; }
const D3DPRESENT_PARAMETERS& WindowedParameters() { return Vela().windowedParameters; }
const D3DPRESENT_PARAMETERS& FullScreenParameters() { return Vela().fullScreenParameters; }

D3DFORMAT ResolveFormat(std::int32_t formatKind, D3DFORMAT given) {
  const State& vela = Vela();
  bool windowed = true;
  GetScreen(nullptr, nullptr, &windowed);
  const AcceptedFormats accepted{vela.textureFormats, vela.renderTargetFormats, vela.depthFormats,
                                 static_cast<FormatCode>(vela.desktopMode.Format), vela.fullScreen16.format,
                                 windowed};
  return static_cast<D3DFORMAT>(ResolveFormatKind(formatKind, static_cast<FormatCode>(given), accepted));
}

const char* FormatName(D3DFORMAT format, char* destination) {
  if (const char* name = FindFormatName(static_cast<FormatCode>(format))) {
    std::snprintf(g_formatName, sizeof g_formatName, "%s", name);
  }
  if (destination) std::memcpy(destination, g_formatName, std::strlen(g_formatName) + 1);
  return g_formatName;
}

const char* ErrorText(HRESULT result) {
  std::snprintf(g_errorText, sizeof g_errorText, "%s", ErrorTextUtf8(static_cast<ResultCode>(result)));
  return g_errorText;
}

}  // namespace vela::Vela3D
